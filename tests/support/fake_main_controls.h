#pragma once
// The main window's controls without a window, for native tests of the operations that read them.

#include "app/control_values.h"

namespace tidemoor::testing {

using FakeMainControls = ControlValues;

}  // namespace tidemoor::testing
