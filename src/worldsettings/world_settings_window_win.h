#pragma once
// The window 世界属性设置: the 57 world options in a list, one editor for the selected row, and
// saving them all to PalWorldSettings.ini.

#include <windows.h>

#include <optional>

#include "common/server_paths.h"
#include "platform/prompt.h"
#include "platform/window_win.h"
#include "worldsettings/settings_editor.h"

namespace tidemoor {

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

class WorldSettingsWindow : public BaseWindow<WorldSettingsWindow> {
 public:
  // Opens the window on the file's values, or only brings it forward when it is open. A file that
  // is there but cannot be read is reported instead, and nothing opens.
  void Open(HWND owner, const ServerPaths& paths, Prompt& prompt);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  HWND Control(WorldSettingsControl id) const;
  void OnCreated();
  void PlaceControls(UINT dpi);
  void FillList();
  void SetCell(int row, int column, std::string_view text);
  void OnNotify(const NMHDR& header);
  void OnRowChanged();
  void ShowInEditBox(std::string_view text);
  void OnCommand(WorldSettingsControl id, WORD code);
  void OnValueEdited();
  void OnSave();
  void OnDpiChanged(UINT dpi, const RECT& suggested);

  ServerPaths paths_;
  Prompt* prompt_ = nullptr;
  std::optional<WorldSettingsEditor> editor_;
  UniqueGdiObject font_;
  bool numbersOnly_ = false;
  bool showingValue_ = false;
};

// Creates the file when missing and opens Explorer with it selected; a file that cannot be read
// is reported instead.
void RevealWorldSettingsFile(const ServerPaths& paths, Prompt& prompt);

}  // namespace tidemoor
