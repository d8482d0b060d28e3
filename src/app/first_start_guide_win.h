#pragma once
// The window 开服向导: on a first start (no server installed, none running) it opens beside the
// main window, and the label (开服向导) opens it at any time. It is modeless. The host checks the
// name, the join password and the player count, keeps or unticks four steps and presses 一键开服:
// each step's line turns into its result as it ends, and the guide closes with what friends need to
// connect. The plan's decisions are portable (first_start_plan); the long steps run on a worker.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/first_start_plan.h"
#include "common/server_paths.h"
#include "install/install_status.h"
#include "net/gateway_socket_win.h"
#include "platform/event_log.h"
#include "platform/prompt.h"
#include "platform/system_error.h"
#include "platform/ticker_win.h"
#include "platform/tool_window_win.h"
#include "platform/worker_win.h"
#include "server/server_world.h"

namespace tidemoor {

// Child-window ids, so tests and the end-to-end driver find them.
enum class GuideControl : int {
  NameLabel = 1301,
  NameEdit,
  JoinPasswordLabel,
  JoinPasswordEdit,
  MaxPlayersLabel,
  MaxPlayersEdit,
  AdminPasswordLabel,
  AdminPassword,
  InstallBox,  // the four steps' boxes, then the start's title, in the plan's order
  FirewallBox,
  MappingBox,
  StartUpBox,
  StartTitle,
  InstallAbout,  // what each step does
  FirewallAbout,
  MappingAbout,
  StartUpAbout,
  StartAbout,
  InstallVerdict,  // 完成 / 失败 / 跳过
  FirewallVerdict,
  MappingVerdict,
  StartUpVerdict,
  StartVerdict,
  InstallWhy,  // why a step failed or was skipped
  FirewallWhy,
  MappingWhy,
  StartUpWhy,
  StartWhy,
  GoButton,
  Conclusion,
  CopyButton,
};

inline constexpr char kGuideTitle[] = "开服向导";

// The settings the guide shows and may change, as the main window holds them.
struct GuideSettings {
  std::string serverName;
  std::string joinPassword;
  std::string maxPlayers;
  std::string adminPassword;
  std::string gamePort;  // as typed
  unsigned short game = 0;
  unsigned short query = 0;
};

// What the guide asks of the rest of the tool.
struct GuideSetup {
  HWND owner = nullptr;
  Prompt* prompt = nullptr;
  EventLog* log = nullptr;
  ServerPaths paths;
  std::function<GuideSettings()> settings;
  // The three edits, taken into the settings (and the main window) at 一键开服.
  std::function<void(const GuideSettings&)> takeEdits;
  std::function<ServerState()> serverState;
  // The automatic update's SteamCMD run; progress hears how far it is (as the main window shows
  // it), done why it failed (empty: it ran to its end).
  std::function<void(InstallProgressFunction progress, std::function<void(std::string failure)>)>
      install;
  std::function<void()> mapAtEveryStart;      // 开服时自动映射端口 on
  std::function<Outcome()> startWithWindows;  // the start-up entry and 启动工具时自动开服
  std::function<void()> startServer;          // the start button's start
  SearchTarget search;
  std::string primaryEchoUrl;
  std::string fallbackEchoUrl;
};

// Whether the server folder holds no PalServer.exe: the first start's sign.
bool ServerMissing(const ServerPaths& paths);

class FirstStartGuide : public ToolWindow<FirstStartGuide> {
 public:
  static constexpr ToolWindowKind kKind{L"TidemoorFirstStartGuide", kGuideTitle, 588, 620};

  // Opens the window beside its owner, or brings it forward when it is open already. The setup
  // given at the first opening serves every later one.
  HWND Open(GuideSetup setup);

 private:
  friend class ToolWindow<FirstStartGuide>;
  void OnCreate(UINT dpi);
  void PlaceControls(UINT dpi);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void ShowSettings();
  void Go();
  // Runs the step when the plan lets it, else shows why not and goes on to the next.
  void Next();
  void RunStep(GuideStep step);
  void Finish(GuideStep step, const StepResult& result);
  void WatchStart();
  void Conclude();
  void CopyAddress();
  void SetBusy(bool busy);
  bool Current(unsigned run) const { return window_ && run == run_; }

  GuideSetup setup_;
  std::unique_ptr<Worker> worker_;
  Ticker startWatch_;
  GuideFacts facts_;
  int step_ = 0;      // the plan's step under way
  unsigned run_ = 0;  // results of an earlier run or window are dropped
  // SteamCMD goes on when the guide is closed; a guide opened again must not start a second one
  // on the same folder.
  bool installing_ = false;
  std::string copyText_;
  UniqueGdiObject font_;
};

}  // namespace tidemoor
