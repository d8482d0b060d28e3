#pragma once
// The window 世界属性设置: every world option in a list, one editor for the selected row, and
// saving them all to PalWorldSettings.ini.

#include <windows.h>

#include <functional>
#include <optional>

#include "common/server_paths.h"
#include "platform/prompt.h"
#include "platform/tool_window_win.h"
#include "worldsettings/settings_editor.h"

namespace tidemoor {

// Child-window ids of the settings window, so tests and the end-to-end driver find its controls.
enum class WorldSettingsControl : int {
  Group = 301,   // 分组框1
  List,          // 设置项目列表框
  HelpLabel,     // 设置项目列表框_项目注释
  KeyLabel,      // 标签_项目原名字显示
  ValueEdit,     // 编辑框_设置值_参数
  ValueBox,      // 编辑框_设置值_选项
  SaveButton,    // 按钮_保存设置
  ChoiceBox,     // the choices of an enumeration row
  RunningNote,   // says that changes wait for the next start while the server runs
  FirstTickBox,  // the first of kMostTickBoxes tick boxes of a list row, the others follow
};

// What the window may know and do about the server, given by the app: whether it runs now, and a
// safe restart (the safe stop, then a start) so saved settings take effect at once.
struct ServerRestartOffer {
  std::function<bool()> isRunning;
  std::function<void()> safeRestart;
};

// The timer that asks every second whether the server runs, to show or hide the note.
inline constexpr UINT_PTR kServerStateTimer = 1;
inline constexpr char kRunningNote[] = "服务端正在运行 - 修改的设置将在下次开服时生效";
inline constexpr char kRestartQuestion[] = " 是否立即安全重启服务端以应用新设置? ";

class WorldSettingsWindow : public ToolWindow<WorldSettingsWindow> {
 public:
  // It lays itself out for the DPI: a move to another screen takes only the suggested position.
  static constexpr ToolWindowKind kKind{L"TidemoorWorldSettings",
                                        "世界属性设置 <更改后保存重启服务端生效>", 714, 538,
                                        SuggestedPlace::PositionOnly};

  // Opens the window on the file's values, or only brings it forward when it is open. A file that
  // is there but cannot be read is reported instead, and nothing opens.
  void Open(HWND owner, const ServerPaths& paths, Prompt& prompt, ServerRestartOffer server = {});

 private:
  friend class ToolWindow<WorldSettingsWindow>;
  void OnCreate(UINT dpi);
  void PlaceControls(UINT dpi);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void FillList();
  void SetCell(int row, int column, std::string_view text);
  void OnNotify(const NMHDR& header);
  void OnRowChanged();
  void ShowEditor(const RowView& view);
  void ShowInEditBox(std::string_view text);
  void ShowRunningNote();
  bool ServerRuns() const;
  void OnCommand(WorldSettingsControl id, WORD code);
  void OnValueEdited();
  void OnSave();

  ServerPaths paths_;
  Prompt* prompt_ = nullptr;
  ServerRestartOffer server_;
  bool noteShown_ = false;
  std::optional<WorldSettingsEditor> editor_;
  UniqueGdiObject font_;
  bool numbersOnly_ = false;
  bool showingValue_ = false;
};

// Creates the file when missing and opens Explorer with it selected; a file that cannot be read
// is reported instead.
void RevealWorldSettingsFile(const ServerPaths& paths, Prompt& prompt);

}  // namespace tidemoor
