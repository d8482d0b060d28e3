#pragma once
// The name a file is set aside under, never one that is taken: a file already there may be the
// user's only copy of something.

#include <functional>
#include <string>
#include <string_view>

namespace tidemoor {

// The wanted name, or when it is taken, the wanted name followed by .2, .3 and on.
std::string FreeName(std::string_view wanted, const std::function<bool(const std::string&)>& taken);

}  // namespace tidemoor
