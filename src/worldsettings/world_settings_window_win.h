#pragma once

#include <windows.h>

namespace tidemoor {

void OpenWorldSettingsWindow();  // 标签7 left button
void RevealWorldSettingsFile();  // 标签7 right button

// Child-window ids of the settings window, so tests and the end-to-end driver find its controls.
enum class WorldSettingsControl : int {
  Group = 301,  // 分组框1
  List,         // 设置项目列表框
  HelpLabel,    // 设置项目列表框_项目注释
  KeyLabel,     // 标签_项目原名字显示
  ValueEdit,    // 编辑框_设置值_参数
  ValueBox,     // 编辑框_设置值_选项
  SaveButton,   // 按钮_保存设置
};

// The open settings window, nullptr when it is closed.
HWND WorldSettingsWindowHandle();

}  // namespace tidemoor
