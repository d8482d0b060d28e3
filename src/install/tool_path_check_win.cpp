#include "install/tool_path_check_win.h"

namespace tidemoor {

void CheckToolPath() {}

}  // namespace tidemoor
