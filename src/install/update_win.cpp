#include "install/update_win.h"

namespace tidemoor {

void RunManualUpdate() {}
void RunAutoUpdate() {}

}  // namespace tidemoor
