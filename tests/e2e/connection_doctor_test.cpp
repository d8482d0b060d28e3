// The 联机诊断 window against a fake router on 127.0.0.1 (tests/fixtures/Gateway): the verdict
// lines for each kind of home connection, the mapping fixes as the router records them, and another
// program on the game port named in the ports line.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/main_controls.h"
#include "app/run_options.h"
#include "net/connection_doctor_win.h"
#include "platform/codepage_win.h"
#include "platform/text.h"
#include "e2e/fixture_process.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using namespace testing;
using D = DoctorControl;

int Id(MainControl control) {
  return static_cast<int>(control);
}
int Id(D control) {
  return static_cast<int>(control);
}

// The tool with its doctor pointed at the fake router of the given case; prepare puts files in the
// tool directory before the tool starts.
class DoctorRig {
 public:
  explicit DoctorRig(const std::string& gatewayCase,
                     const std::function<void(TempToolDirectory&)>& prepare = {})
      : gateway_(dir_, "Gateway.exe", gatewayCase + " \"" + dir_.File(kCalls) + "\"") {
    if (prepare) prepare(dir_);
    std::string ports;
    EXPECT_TRUE(WaitUntil(
        [&] { return !(ports = dir_.ReadBytes(std::string(kCalls) + ".ports")).empty(); }));
    const size_t blank = ports.find(' ');
    const std::string ssdp = ports.substr(0, blank);
    const std::string http = ports.substr(blank + 1, ports.find('\r') - blank - 1);
    testSettings_ = std::string(kTestSettingsSwitch) + "router-search-port=" + ssdp +
                    ";address-echo=http://127.0.0.1:" + http + "/ip";
    dir_.InstallTool();
    OpenTool();
  }
  ~DoctorRig() { CloseTool(); }

  void OpenTool() {
    tool_.emplace(dir_, std::string_view{}, testSettings_);
    main_ = tool_->WaitForMainWindow();
  }
  // The tool goes; a server it runs goes on.
  void CloseTool() {
    if (main_) CloseToolWindow(main_);
    if (tool_) tool_->WaitForExit();
    main_ = nullptr;
    tool_.reset();
  }

  // Opens the window and waits for the NAT line, the last to be filled in.
  HWND OpenDoctor() {
    PressLabel(main_, Id(MainControl::DoctorLabel));
    doctor_ = WaitForWindowOfProcess(tool_->Id(), kDoctorTitle);
    EXPECT_NE(doctor_, nullptr);
    WaitForChecks();
    return doctor_;
  }
  void WaitForChecks() {
    EXPECT_TRUE(WaitUntil([&] {
      return Text(D::NatVerdict) != kCheckingText && Text(D::RouterVerdict) != kCheckingText;
    }));
  }
  std::string Text(D control) const { return ControlText(doctor_, Id(control)); }
  bool Enabled(D control) const { return ::IsWindowEnabled(::GetDlgItem(doctor_, Id(control))); }
  std::string Calls() const { return dir_.ReadBytes(kCalls); }
  std::string Log() const { return dir_.ReadBytes("PaLWorld_Data\\Tidemoor.log"); }
  TempToolDirectory& Dir() { return dir_; }
  DWORD ToolId() const { return tool_->Id(); }
  bool Logged(const std::vector<std::string>& lines) const {
    const std::string log = Log();
    for (const std::string& line : lines) {
      if (log.find(line) == std::string::npos) return false;
    }
    return true;
  }
  HWND Main() const { return main_; }

 private:
  static constexpr char kCalls[] = "gateway-calls.txt";
  TempToolDirectory dir_{"doctor"};
  FixtureProcess gateway_;
  std::string testSettings_;
  std::optional<ToolProcess> tool_;
  HWND main_ = nullptr;
  HWND doctor_ = nullptr;
};

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

const std::string kCgnat =
    "运营商级 NAT - 没有公网 IPv4，端口映射无法让外网好友连接。可向运营商申请公网 IP，"
    "或与好友使用虚拟局域网";
const std::string kRouterUp = "路由器 UPnP 已开启，外网地址 ";

TEST(ConnectionDoctor, VerdictLinesForEachKindOfRouter) {
  const struct {
    const char* gatewayCase;
    const char* natVerdict;
    std::string nat;
    const char* routerVerdict;
    std::string router;
  } cases[] = {
      {"public", "通过", "公网 IP - 端口映射后好友可直接连接 203.0.113.7:8211", "注意",
       kRouterUp + "203.0.113.7；UDP 8211、UDP 27015 未映射到本机"},
      {"cgnat", "未通过", kCgnat, "注意",
       kRouterUp + "100.64.12.34；UDP 8211、UDP 27015 未映射到本机"},
      {"double", "注意", "路由器前还有一层路由器 (光猫?) - 需在上一级设备也做端口映射或改为桥接",
       "注意", kRouterUp + "198.51.100.9；UDP 8211、UDP 27015 未映射到本机"},
      {"other", "通过", "公网 IP - 端口映射后好友可直接连接 203.0.113.7:8211", "未通过",
       kRouterUp + "203.0.113.7；UDP 8211 已映射到另一台电脑 192.168.1.77:8211 (不会替换)"},
      {"garbage", "无法判断",
       "路由器未告知外网地址 (路由器的回答无法读取 (HTTP 200, 不是 XML)) - 公网地址 203.0.113.7",
       "无法判断",
       kRouterUp + "未知；UDP 8211 路由器的回答无法读取 (HTTP 200, 不是 XML)；UDP 27015 "
                   "路由器的回答无法读取 (HTTP 200, 不是 XML)"},
      {"silent", "无法判断", "无法判断 (路由器未开启 UPnP) - 公网地址 203.0.113.7", "无法判断",
       "未发现路由器 (路由器未开启 UPnP)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.gatewayCase);
    DoctorRig rig(c.gatewayCase);
    ASSERT_NE(rig.Main(), nullptr);
    rig.OpenDoctor();
    EXPECT_EQ(rig.Text(D::NatVerdict), c.natVerdict);
    EXPECT_EQ(rig.Text(D::NatFound), c.nat);
    EXPECT_EQ(rig.Text(D::RouterVerdict), c.routerVerdict);
    EXPECT_EQ(rig.Text(D::RouterFound), c.router);
    EXPECT_EQ(rig.Enabled(D::MapButton), std::string(c.routerVerdict) == "注意");
    EXPECT_FALSE(rig.Enabled(D::RemoveButton));
    EXPECT_NE(
        rig.Log().find("联机诊断 公网地址与 NAT: " + std::string(c.natVerdict) + " - " + c.nat),
        std::string::npos)
        << rig.Log();
  }
}

TEST(ConnectionDoctor, MapsAndRemovesTheGamePortsOnTheRouter) {
  DoctorRig rig("public");
  ASSERT_NE(rig.Main(), nullptr);
  const HWND doctor = rig.OpenDoctor();
  ClickControl(doctor, Id(D::MapButton));
  ASSERT_TRUE(WaitUntil([&] { return rig.Enabled(D::RemoveButton); }));
  EXPECT_EQ(rig.Text(D::RouterFound), kRouterUp + "203.0.113.7；UDP 8211、UDP 27015 已映射到本机");
  EXPECT_EQ(rig.Calls(),
            "AddPortMapping UDP 8211 127.0.0.1 Tidemoor Palworld\r\n"
            "AddPortMapping UDP 27015 127.0.0.1 Tidemoor Palworld\r\n");
  EXPECT_FALSE(rig.Enabled(D::MapButton));

  ClickControl(doctor, Id(D::RemoveButton));
  ASSERT_TRUE(WaitUntil([&] { return rig.Enabled(D::MapButton); }));
  EXPECT_EQ(rig.Calls(),
            "AddPortMapping UDP 8211 127.0.0.1 Tidemoor Palworld\r\n"
            "AddPortMapping UDP 27015 127.0.0.1 Tidemoor Palworld\r\n"
            "DeletePortMapping UDP 8211\r\nDeletePortMapping UDP 27015\r\n");
  EXPECT_NE(rig.Log().find("路由器端口映射已添加: UDP 8211 -> 127.0.0.1"), std::string::npos);
  EXPECT_NE(rig.Log().find("路由器端口映射已删除: UDP 27015"), std::string::npos);
}

TEST(ConnectionDoctor, NamesAnotherProgramOnTheGamePort) {
  DoctorRig rig("silent");
  ASSERT_NE(rig.Main(), nullptr);
  FixtureProcess holder(rig.Dir(), "PortHolder.exe", "8211");
  ASSERT_TRUE(WaitUntil([&] { return rig.Dir().Exists("port-holder-ready.txt"); }));
  rig.OpenDoctor();
  EXPECT_EQ(rig.Text(D::PortsVerdict), "未通过");
  // Wine's port tables carry no owner ids; Windows names the program. Under Wine they list the
  // whole machine's ports too, so other lines may follow.
  const std::string found = rig.Text(D::PortsFound);
  const std::string named =
      "UDP 8211 (游戏端口) 被 PortHolder.exe (进程 " + std::to_string(holder.Id()) + ") 占用";
  const std::string unnamed = "UDP 8211 (游戏端口) 被 未知程序 占用";
  EXPECT_TRUE(found.rfind(named, 0) == 0 || found.rfind(unnamed, 0) == 0)
      << rig.Text(D::PortsFound);
  // The checks Wine can only partly answer still end, with a verdict and what was found.
  const std::set<std::string> verdicts = {"通过", "注意", "未通过", "无法判断"};
  for (const D line : {D::FirewallVerdict, D::ProfileVerdict, D::LanVerdict}) {
    EXPECT_TRUE(verdicts.count(rig.Text(line))) << static_cast<int>(line) << rig.Text(line);
  }
  EXPECT_FALSE(rig.Text(D::FirewallFound).empty());
  EXPECT_FALSE(rig.Text(D::ProfileFound).empty());
  // A second press brings the window forward; 重新检查 runs every check again.
  const HWND doctor = rig.OpenDoctor();
  EXPECT_EQ(WindowsTitled(rig.ToolId(), kDoctorTitle), 1);
  ClickControl(doctor, Id(D::RecheckButton));
  EXPECT_TRUE(WaitUntil([&] { return Occurrences(rig.Log(), "联机诊断 公网地址与 NAT: ") == 2; }))
      << rig.Log();
}

constexpr char kMappingAtStartSettings[] =
    "[服务端运行控制]\r\nAuto_CheckServer=0\r\nCrash_Autorun=0\r\n"
    "Timeer_Autorestart=0\r\nTimeer_Autobackup_Saved=0\r\n"
    "[服务器启动参数]\r\nAdmin_Password=admin-e2e-pw\r\n"
    "[扩展设置]\r\nSafe_Stop=0\r\nRestart_Notice=0\r\n"
    "Hang_Restart=0\r\nUPnP_Map=1\r\n";

void PrepareMappingAtStart(TempToolDirectory& dir) {
  constexpr char kServerDir[] = "PaLWorld_Data\\steamapps\\common\\PalServer";
  dir.InstallFixture("taskkill.exe");
  dir.InstallFixture("PalServer.exe", kServerDir);
  dir.InstallFixture("PalServer-Win64-Test-Cmd.exe", kServerDir);
  dir.WriteBytes("PaLWorld_Data\\PaLWorld_Tools.ini", Utf8ToGbk(kMappingAtStartSettings));
}

void StopServer(DoctorRig& rig) {
  ClickControl(rig.Main(), Id(MainControl::StartButton));
  std::optional<SeenMessageBox> question = WaitForMessageBox(rig.ToolId());
  ASSERT_TRUE(question);
  AnswerMessageBox(*question, IDYES);
}

// 开服时自动映射端口 ticked: each start maps the game and query ports to this PC, the stop removes
// them; a port another PC holds is left as it is, and the event log says what became of each.
TEST(ConnectionDoctor, MapsThePortsAtStartAndRemovesThemAtStop) {
  const std::string add =
      "AddPortMapping UDP 8211 127.0.0.1 Tidemoor Palworld\r\n"
      "AddPortMapping UDP 27015 127.0.0.1 Tidemoor Palworld\r\n";
  const struct {
    const char* gatewayCase;
    std::string callsAfterStart, callsAfterStop;
    std::vector<std::string> atStart, atStop;
  } cases[] = {
      {"public",
       add,
       add + "DeletePortMapping UDP 8211\r\nDeletePortMapping UDP 27015\r\n",
       {"路由器端口映射已添加: UDP 8211 -> 127.0.0.1",
        "路由器端口映射已添加: UDP 27015 -> 127.0.0.1"},
       {"路由器端口映射已删除: UDP 8211", "路由器端口映射已删除: UDP 27015"}},
      {"other",
       "",
       "",
       {"开服自动映射端口: UDP 8211 已映射到另一台电脑 192.168.1.77:8211，不会替换",
        "开服自动映射端口: UDP 27015 未映射 (另一个端口无法映射到本机)"},
       {"关服删除端口映射: 路由器上没有指向本机的映射"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.gatewayCase);
    DoctorRig rig(c.gatewayCase, &PrepareMappingAtStart);
    ASSERT_NE(rig.Main(), nullptr);
    EXPECT_TRUE(IsControlChecked(rig.Main(), Id(MainControl::MapPortsAtStartBox)));
    ClickControl(rig.Main(), Id(MainControl::StartButton));
    ASSERT_TRUE(WaitUntil([&] { return rig.Logged(c.atStart); }, std::chrono::seconds(30)))
        << rig.Log();
    EXPECT_EQ(rig.Calls(), c.callsAfterStart);

    StopServer(rig);
    ASSERT_TRUE(WaitUntil([&] { return rig.Logged(c.atStop); }, std::chrono::seconds(30)))
        << rig.Log();
    EXPECT_EQ(rig.Calls(), c.callsAfterStop);
  }
}

// The mapping follows the ports the server was started with: a port typed with a blank is the
// port the server runs on and the one mapped; an edit while it runs leaves what the stop removes
// alone; a server taken over maps the ports its own command line names, whatever the boxes say.
TEST(ConnectionDoctor, TheMappingFollowsThePortsTheServerWasStartedWith) {
  DoctorRig rig("public", &PrepareMappingAtStart);
  ASSERT_NE(rig.Main(), nullptr);
  SetControlText(rig.Main(), Id(MainControl::GamePortEdit), " 8211");
  ClickControl(rig.Main(), Id(MainControl::StartButton));
  ASSERT_TRUE(WaitUntil([&] { return rig.Logged({"路由器端口映射已添加: UDP 8211 -> 127.0.0.1"}); },
                        std::chrono::seconds(30)))
      << rig.Log();
  SetControlText(rig.Main(), Id(MainControl::GamePortEdit), "9000");
  StopServer(rig);
  ASSERT_TRUE(WaitUntil([&] { return rig.Logged({"路由器端口映射已删除: UDP 27015"}); },
                        std::chrono::seconds(30)))
      << rig.Log();
  EXPECT_EQ(rig.Calls(),
            "AddPortMapping UDP 8211 127.0.0.1 Tidemoor Palworld\r\n"
            "AddPortMapping UDP 27015 127.0.0.1 Tidemoor Palworld\r\n"
            "DeletePortMapping UDP 8211\r\nDeletePortMapping UDP 27015\r\n");

  ClickControl(rig.Main(), Id(MainControl::StartButton));
  ASSERT_TRUE(WaitUntil([&] { return rig.Logged({"路由器端口映射已添加: UDP 9000 -> 127.0.0.1"}); },
                        std::chrono::seconds(30)))
      << rig.Log();
  rig.CloseTool();
  rig.Dir().WriteBytes("PaLWorld_Data\\PaLWorld_Tools.ini",
                       Utf8ToGbk(ReplaceAll(kMappingAtStartSettings, "[服务器启动参数]\r\n",
                                            "[服务器启动参数]\r\nPort_Game=7000\r\n")));
  rig.OpenTool();
  ASSERT_NE(rig.Main(), nullptr);
  ASSERT_TRUE(WaitUntil(
      [&] {
        return rig.Logged({"接管的服务端端口: 游戏 9000, 查询 27015 (取自其命令行)",
                           "开服自动映射端口: UDP 9000 已映射到本机"});
      },
      std::chrono::seconds(30)))
      << rig.Log() << rig.Calls();
  EXPECT_EQ(rig.Log().find("UDP 7000"), std::string::npos) << rig.Log();
  EXPECT_EQ(rig.Calls().find("7000"), std::string::npos) << rig.Calls();
}

}  // namespace
}  // namespace tidemoor
