#include "net/connect_address_win.h"

namespace tidemoor {

void CopyConnectAddress() {}

}  // namespace tidemoor
