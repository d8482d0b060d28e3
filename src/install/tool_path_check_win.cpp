#include "install/tool_path_check_win.h"

#include <windows.h>

#include <algorithm>

#include "platform/directories_win.h"
#include "platform/message_box_win.h"
#include "platform/regex_matcher_win.h"

namespace tidemoor {

bool HasChineseCharacters(std::string_view directory) {
  // A plain ASCII path holds no ideograph; most tool directories are such paths, and they then
  // start without loading the scripting component at all.
  if (std::all_of(directory.begin(), directory.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return false;
  }
  RegexMatcher matcher;
  matcher.Execute("[\\u4e00-\\u9fa5]", directory);
  return matcher.MatchCount() != 0;
}

void CheckToolPath() {
  if (!HasChineseCharacters(ToolDirectory())) return;
  // No owner yet: the main window is still being created. Brought forward so the warning is not
  // hidden behind other programs while start-up waits for it.
  ShowMessage(nullptr, " 出现错误 -> 路径中存在中文或有符号 <- 请更改位置运行 ", " Error",
              MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

}  // namespace tidemoor
