#pragma once

#include <string_view>

#include "platform/prompt.h"

namespace tidemoor {

// Warns once at start-up when the tool directory holds Chinese characters; start-up goes on.
void CheckToolPath(std::string_view toolDirectory, Prompt& prompt);

// Whether the directory holds a CJK ideograph (U+4E00..U+9FA5). Blanks, symbols and other
// non-ASCII letters do not count.
bool HasChineseCharacters(std::string_view directory);

}  // namespace tidemoor
