#pragma once
// One tool per tool directory. A second Tidemoor.exe on the same folder would take over the
// first's server, remove the backup point it is still writing, take a stop for a crash and run
// the automatic points twice.

#include <string>
#include <string_view>

namespace tidemoor {

// The name of the object the tool of this directory holds while it runs. folded is the
// directory's full path, case-folded as the file system compares names (a trailing backslash does
// not count). Global: the server, its save and the backup points are one per PC, whichever user's
// session a tool runs in.
std::string SingleToolObjectName(std::u16string_view folded);

}  // namespace tidemoor
