#include "install/tool_path_check_win.h"

#include <windows.h>

#include <algorithm>

#include "platform/regex_matcher_win.h"

namespace tidemoor {

bool HasChineseCharacters(std::string_view directory) {
  // A plain ASCII path holds no ideograph; most tool directories are such paths, and they then
  // start without loading the scripting component at all.
  if (std::all_of(directory.begin(), directory.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return false;
  }
  const auto matches = RegexMatcher().Matches("[\\u4e00-\\u9fa5]", directory);
  return matches && !matches->empty();
}

void CheckToolPath(std::string_view toolDirectory, Prompt& prompt) {
  if (!HasChineseCharacters(toolDirectory)) return;
  // No window exists yet. Brought forward so the warning is not hidden behind other programs
  // while start-up waits for it.
  prompt.Ask(" 出现错误 -> 路径中存在中文或有符号 <- 请更改位置运行 ", " Error",
             PromptStyle::StartUpError);
}

}  // namespace tidemoor
