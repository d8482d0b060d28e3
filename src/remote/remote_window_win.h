#pragma once
// The window 远程管理: the KOOK bot switched on or off, its token (shown as dots), the channels
// it answers in, the admins (picked from the people the bot heard lately, or typed), the API
// address, and how the line to KOOK stands. What is typed reaches the settings as it is typed;
// the line follows once the window closes or the box is ticked.

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/prompt.h"
#include "platform/tool_window_win.h"
#include "remote/remote_settings.h"

namespace tidemoor {

inline constexpr char kRemoteWindowTitle[] = "远程管理";

// Child-window ids, so the end-to-end driver finds them.
enum class RemoteControlId : int {
  KookBox = 801,  // 启用 KOOK 机器人
  TokenLabel,
  TokenEdit,
  ChannelsLabel,
  ChannelsEdit,
  AdminsLabel,
  AdminsEdit,
  AddRecentButton,  // 从最近发言者添加
  ApiLabel,
  ApiEdit,
  LineLabel,
  LineText,   // how the line to KOOK stands
  GuideLink,  // 如何创建 KOOK 机器人
  Hint,
};

struct RemoteWindowSetup {
  HWND owner = nullptr;
  Prompt* prompt = nullptr;
  std::function<RemoteSettings()> current;
  std::function<void(const RemoteSettings&)> changed;  // at every edit and tick
  // The settings are final for now (the window closes, or the box was ticked or unticked).
  std::function<void()> settled;
  std::function<std::string()> lineText;
  // The last people the bot heard, newest first: {id, name}.
  std::function<std::vector<std::pair<std::string, std::string>>()> recentAuthors;
  std::function<void()> openGuide;
};

class RemoteWindow : public ToolWindow<RemoteWindow> {
 public:
  static constexpr ToolWindowKind kKind{L"TidemoorRemote", kRemoteWindowTitle, 600, 360};

  // Opens the window, or brings it forward when it is open already. The setup given at the first
  // opening serves every later one.
  HWND Open(RemoteWindowSetup setup);
  // The line changed: the window shows it when open.
  void ShowLine();

 private:
  friend class ToolWindow<RemoteWindow>;
  void OnCreate(UINT dpi);
  void PlaceControls(UINT dpi);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Fill(const RemoteSettings& settings);
  RemoteSettings Read() const;
  void PickRecentAuthor();

  RemoteWindowSetup setup_;
  bool setUp_ = false;
  UniqueGdiObject font_;
  bool filling_ = false;
};

}  // namespace tidemoor
