#include "app/first_start_guide_win.h"

#include <array>
#include <chrono>
#include <optional>

#include "app/first_start_jobs_win.h"
#include "platform/clipboard_win.h"
#include "platform/codepage_win.h"
#include "platform/text.h"
#include "platform/verdict_tone_win.h"

namespace tidemoor {
namespace {

using Id = GuideControl;
using K = ControlKind;

// Narrow enough to stand beside the main window on a screen 1280 pixels wide: each step takes two
// lines, its box with the result beside it, then what it does.
constexpr int kStepsY = 146;
constexpr int kStepHeight = 46;
constexpr int Row(int index) {
  return kStepsY + index * kStepHeight;
}
constexpr int About(int index) {
  return Row(index) + 24;
}
constexpr int kResultX = 238, kWhyX = 278, kWhyWidth = 282;
constexpr int kGoY = Row(kGuideSteps) + 6;
constexpr int kConclusionY = kGoY + 42;

constexpr auto kStartWatch = std::chrono::milliseconds(500);

const std::array<ControlDefinition, 31> kControls = {{
    {ControlNumber(Id::NameLabel), K::Label, "服务器名字", 12, 16, 90, 22},
    {ControlNumber(Id::NameEdit), K::Edit, "", 106, 12, 340, 24},
    {ControlNumber(Id::JoinPasswordLabel), K::Label, "进服密码", 12, 48, 90, 22},
    {ControlNumber(Id::JoinPasswordEdit), K::Edit, "", 106, 44, 200, 24},
    {ControlNumber(Id::MaxPlayersLabel), K::Label, "最大游戏人数", 12, 80, 90, 22},
    {ControlNumber(Id::MaxPlayersEdit), K::Edit, "", 106, 76, 60, 24, kDigitsOnly},
    {ControlNumber(Id::AdminPasswordLabel), K::Label, "管理员密码", 12, 112, 90, 22},
    {ControlNumber(Id::AdminPassword), K::Label, "", 106, 112, 454, 22, kEndEllipsis},
    {ControlNumber(Id::InstallBox), K::CheckBox, "安装游戏服务端", 12, Row(0), 222, 24},
    {ControlNumber(Id::FirewallBox), K::CheckBox, "添加防火墙规则 (需要管理员确认)", 12, Row(1),
     222, 24},
    {ControlNumber(Id::MappingBox), K::CheckBox, "路由器自动映射端口", 12, Row(2), 222, 24},
    {ControlNumber(Id::StartUpBox), K::CheckBox, "随 Windows 启动并自动开服", 12, Row(3), 222, 24},
    {ControlNumber(Id::StartTitle), K::Label, "启动服务端", 30, Row(4) + 3, 204, 20},
    {ControlNumber(Id::InstallAbout), K::Label, "用 SteamCMD 下载官方服务端, 先检查磁盘空间", 30,
     About(0), 530, 20, kEndEllipsis},
    {ControlNumber(Id::FirewallAbout), K::Label,
     "允许游戏端口和查询端口 (UDP) 通过 Windows 防火墙, 会弹出一次管理员确认", 30, About(1), 530,
     20, kEndEllipsis},
    {ControlNumber(Id::MappingAbout), K::Label,
     "在路由器上把这两个端口映射到本机 (UPnP), 以后每次开服自动映射", 30, About(2), 530, 20,
     kEndEllipsis},
    {ControlNumber(Id::StartUpAbout), K::Label, "登录 Windows 时启动本工具, 并在启动工具时自动开服",
     30, About(3), 530, 20, kEndEllipsis},
    {ControlNumber(Id::StartAbout), K::Label, "用以上设置开服, 然后告诉你好友的联机地址", 30,
     About(4), 530, 20, kEndEllipsis},
    {ControlNumber(Id::InstallVerdict), K::Label, "", kResultX, Row(0) + 3, 36, 20},
    {ControlNumber(Id::FirewallVerdict), K::Label, "", kResultX, Row(1) + 3, 36, 20},
    {ControlNumber(Id::MappingVerdict), K::Label, "", kResultX, Row(2) + 3, 36, 20},
    {ControlNumber(Id::StartUpVerdict), K::Label, "", kResultX, Row(3) + 3, 36, 20},
    {ControlNumber(Id::StartVerdict), K::Label, "", kResultX, Row(4) + 3, 36, 20},
    {ControlNumber(Id::InstallWhy), K::Label, "", kWhyX, Row(0) + 3, kWhyWidth, 20, kEndEllipsis},
    {ControlNumber(Id::FirewallWhy), K::Label, "", kWhyX, Row(1) + 3, kWhyWidth, 20, kEndEllipsis},
    {ControlNumber(Id::MappingWhy), K::Label, "", kWhyX, Row(2) + 3, kWhyWidth, 20, kEndEllipsis},
    {ControlNumber(Id::StartUpWhy), K::Label, "", kWhyX, Row(3) + 3, kWhyWidth, 20, kEndEllipsis},
    {ControlNumber(Id::StartWhy), K::Label, "", kWhyX, Row(4) + 3, kWhyWidth, 20, kEndEllipsis},
    {ControlNumber(Id::GoButton), K::Button, "一键开服", 12, kGoY, 120, 32},
    {ControlNumber(Id::CopyButton), K::Button, "复制联机地址", 450, kGoY, 110, 32},
    {ControlNumber(Id::Conclusion), K::Label, "", 12, kConclusionY, 548, 96, kParagraph},
}};

constexpr std::array<Id, kTickedGuideSteps> kBoxes = {Id::InstallBox, Id::FirewallBox,
                                                      Id::MappingBox, Id::StartUpBox};
constexpr std::array<Id, kGuideSteps> kVerdicts = {Id::InstallVerdict, Id::FirewallVerdict,
                                                   Id::MappingVerdict, Id::StartUpVerdict,
                                                   Id::StartVerdict};
constexpr std::array<Id, kGuideSteps> kWhys = {Id::InstallWhy, Id::FirewallWhy, Id::MappingWhy,
                                               Id::StartUpWhy, Id::StartWhy};
constexpr std::array<const char*, kGuideSteps> kStepNames = {
    "安装游戏服务端", "添加防火墙规则", "路由器自动映射端口", "随 Windows 启动并自动开服",
    "启动服务端"};

constexpr char kRunning[] = "进行中...";

// Beside the owner, on its right or else its left where the screen has room; where the system put
// it while the owner is minimised (started at sign-in).
void PlaceBeside(HWND window, HWND owner) {
  RECT ownerRect{};
  RECT own{};
  if (!owner || ::IsIconic(owner) || !::GetWindowRect(owner, &ownerRect) ||
      !::GetWindowRect(window, &own)) {
    return;
  }
  MONITORINFO monitor{sizeof(monitor)};
  if (!::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  const int width = own.right - own.left;
  int x = work.right - width;  // no room on either side: over the main window's right edge
  if (ownerRect.right + width <= work.right) {
    x = ownerRect.right;
  } else if (ownerRect.left - width >= work.left) {
    x = ownerRect.left - width;
  }
  ::SetWindowPos(window, nullptr, x > work.left ? x : work.left, ownerRect.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

bool ServerMissing(const ServerPaths& paths) {
  return ::GetFileAttributesW(Widen(ServerExecutable(paths)).c_str()) == INVALID_FILE_ATTRIBUTES;
}

HWND FirstStartGuide::Open(GuideSetup setup) {
  if (BringForwardIfOpen()) return window_;
  if (!setup_.log) setup_ = std::move(setup);
  if (Make(setup_.owner, setup_.prompt)) PlaceBeside(window_, setup_.owner);
  return window_;
}

void FirstStartGuide::OnCreate(UINT dpi) {
  CreateControlsForDpi(window_, kControls, dpi, font_);
  worker_ = std::make_unique<Worker>();
  ++run_;
  for (const Id box : kBoxes) ::SendMessageW(Control(box), BM_SETCHECK, BST_CHECKED, 0);
  ::EnableWindow(Control(Id::CopyButton), FALSE);
  ShowSettings();
}

void FirstStartGuide::PlaceControls(UINT dpi) {
  PlaceControlsForDpi(window_, kControls, dpi, font_);
}

LRESULT FirstStartGuide::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return 0;
      if (static_cast<Id>(LOWORD(wParam)) == Id::GoButton) Go();
      if (static_cast<Id>(LOWORD(wParam)) == Id::CopyButton) CopyAddress();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (const std::optional<LRESULT> brush =
              ColourVerdictLabel(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
        return *brush;
      }
      break;
    case WM_DESTROY:
      // What was done stays done; a step still running ends on its own and is not told here.
      ++run_;
      worker_.reset();
      startWatch_.Stop();
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

// The settings as the main window holds them now; the size SteamCMD told last time, if ever.
void FirstStartGuide::ShowSettings() {
  const GuideSettings settings = setup_.settings();
  SetWindowTextUtf8(Control(Id::NameEdit), settings.serverName);
  SetWindowTextUtf8(Control(Id::JoinPasswordEdit), settings.joinPassword);
  SetWindowTextUtf8(Control(Id::MaxPlayersEdit), settings.maxPlayers);
  SetWindowTextUtf8(Control(Id::AdminPassword),
                    settings.adminPassword + "  (远程管理用, 无需填写; 可在主窗口修改)");
  SetWindowTextUtf8(Control(Id::InstallBox), InstallCaption(KeptServerSize(setup_.paths)));
}

void FirstStartGuide::Go() {
  GuideSettings edits = setup_.settings();
  edits.serverName = WindowText(Control(Id::NameEdit));
  edits.joinPassword = WindowText(Control(Id::JoinPasswordEdit));
  const std::string players(TrimBlanks(WindowText(Control(Id::MaxPlayersEdit)), " "));
  if (!players.empty()) edits.maxPlayers = players;
  setup_.takeEdits(edits);

  facts_ = GuideFacts{};
  for (size_t i = 0; i < kBoxes.size(); ++i) {
    facts_.ticked[i] = ::SendMessageW(Control(kBoxes[i]), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  for (const Id id : kVerdicts) SetWindowTextUtf8(Control(id), "");
  for (const Id id : kWhys) SetWindowTextUtf8(Control(id), "");
  SetWindowTextUtf8(Control(Id::Conclusion), "");
  ::EnableWindow(Control(Id::CopyButton), FALSE);
  copyText_.clear();
  SetBusy(true);
  setup_.log->Record("开服向导: 一键开服");
  ++run_;
  step_ = 0;
  Next();
}

void FirstStartGuide::Next() {
  if (step_ == kGuideSteps) {
    Conclude();
    return;
  }
  const auto step = static_cast<GuideStep>(step_);
  facts_.serverRunning = setup_.serverState() != ServerState::Stopped;
  facts_.serverInstalled = !ServerMissing(setup_.paths);
  if (const std::optional<std::string> why = SkipReason(step, facts_)) {
    Finish(step, StepSkipped(*why));
    return;
  }
  SetWindowTextUtf8(Control(kWhys[step_]), kRunning);
  RunStep(step);
}

void FirstStartGuide::RunStep(GuideStep step) {
  const unsigned run = run_;
  const GuideSettings settings = setup_.settings();
  switch (step) {
    case GuideStep::Install:
      worker_->Run<DiskRoom>(
          [paths = setup_.paths] { return MeasureDiskRoom(paths); },
          [this, run](DiskRoom room) {
            if (!Current(run)) return;
            SetWindowTextUtf8(Control(Id::InstallBox), InstallCaption(room.serverBytes));
            if (const std::optional<std::string> shortfall =
                    FreeSpaceShortfall(room.serverBytes, room.freeBytes)) {
              Finish(GuideStep::Install, StepFailed(*shortfall));
              return;
            }
            if (installing_) {
              Finish(GuideStep::Install, StepSkipped("上一次的安装仍在进行"));
              return;
            }
            installing_ = true;
            setup_.install(
                [this, run](const InstallStatus& status) {
                  if (Current(run) && status.running) {
                    SetWindowTextUtf8(Control(Id::InstallWhy), status.line);
                  }
                },
                [this, run](const std::string& failure) {
                  installing_ = false;
                  if (!Current(run)) return;
                  Finish(GuideStep::Install, failure.empty() ? StepDone() : StepFailed(failure));
                });
          });
      return;
    case GuideStep::Firewall:
      worker_->Run<StepResult>(
          [owner = window_,
           job = FirewallFixJob{ServerWorkerProgram(setup_.paths), settings.game, settings.query}] {
            return AddFirewallRules(owner, job);
          },
          [this, run](StepResult result) {
            if (Current(run)) Finish(GuideStep::Firewall, result);
          });
      return;
    case GuideStep::Mapping:
      setup_.mapAtEveryStart();
      worker_->Run<MappingResult>(
          [search = setup_.search, settings] {
            return MapPortsNow(search, settings.game, settings.query);
          },
          [this, run](MappingResult mapped) {
            for (const std::string& line : mapped.lines) setup_.log->Record(line);
            if (Current(run)) Finish(GuideStep::Mapping, mapped.result);
          });
      return;
    case GuideStep::StartUp: {
      const Outcome registered = setup_.startWithWindows();
      Finish(GuideStep::StartUp,
             registered ? StepDone()
                        : StepFailed(WithCause("未能添加随 Windows 启动", registered.Error())));
      return;
    }
    case GuideStep::Start:
      setup_.startServer();
      WatchStart();
      return;
  }
}

// The start may ask the host something first (the world it loads); the guide waits for the
// server to run, or to be stopped again.
void FirstStartGuide::WatchStart() {
  const unsigned run = run_;
  startWatch_.Every(kStartWatch, [this, run] {
    if (!Current(run)) return;
    const ServerState state = setup_.serverState();
    if (state == ServerState::Running) {
      startWatch_.Stop();
      Finish(GuideStep::Start, StepDone());
    } else if (state == ServerState::Stopped) {
      startWatch_.Stop();
      Finish(GuideStep::Start, StepFailed("服务端未能启动 - 详见事件日志"));
    }
  });
}

void FirstStartGuide::Finish(GuideStep step, const StepResult& result) {
  const auto index = static_cast<size_t>(step);
  if (step == GuideStep::Install) facts_.install = result;
  SetWindowTextUtf8(Control(kVerdicts[index]), ResultWord(result.kind));
  SetWindowTextUtf8(Control(kWhys[index]), result.why);
  setup_.log->Record("开服向导 " + std::string(kStepNames[index]) + ": " + ResultText(result));
  step_ = static_cast<int>(index) + 1;
  Next();
}

void FirstStartGuide::Conclude() {
  const unsigned run = run_;
  const GuideSettings settings = setup_.settings();
  SetWindowTextUtf8(Control(Id::Conclusion), "正在检查联机方式...");
  worker_->Run<ConnectionFacts>(
      [search = setup_.search, settings, primary = setup_.primaryEchoUrl,
       fallback = setup_.fallbackEchoUrl] {
        return ReadConnection(search, settings.game, settings.gamePort, primary, fallback);
      },
      [this, run](ConnectionFacts facts) {
        const GuideConclusion conclusion = ConcludeConnection(facts);
        setup_.log->Record("开服向导 联机: " + ReplaceAll(conclusion.text, "\r\n", " "));
        if (!Current(run)) return;
        SetWindowTextUtf8(Control(Id::Conclusion), conclusion.text);
        copyText_ = conclusion.copyText;
        ::EnableWindow(Control(Id::CopyButton), !copyText_.empty());
        SetBusy(false);
      });
}

void FirstStartGuide::CopyAddress() {
  if (copyText_.empty()) return;
  CopyToClipboard(window_, copyText_, [prompt = setup_.prompt, text = copyText_](bool) {
    prompt->Ask(" 已复制到剪辑版 【" + text + "】 ", " Info", PromptStyle::Information);
  });
}

void FirstStartGuide::SetBusy(bool busy) {
  for (const Id id : {Id::NameEdit, Id::JoinPasswordEdit, Id::MaxPlayersEdit, Id::GoButton}) {
    ::EnableWindow(Control(id), !busy);
  }
  for (const Id box : kBoxes) ::EnableWindow(Control(box), !busy);
}

}  // namespace tidemoor
