#include "app/start_world_settings_win.h"

#include <string>
#include <utility>

#include "platform/profile_win.h"
#include "worldsettings/world_settings_file_win.h"

namespace tidemoor {
namespace {

constexpr char kEmptyAdminPasswordText[] =
    " 管理员密码为空 - 未开启 REST API，安全关服、在线玩家等功能不可用 ";
constexpr char kWeakAdminPasswordText[] =
    " 管理员密码过于简单 (少于 8 个字符或全是数字) - "
    "任何能连到 REST API 端口的人都可以用它管理服务端 ";
constexpr char kNotWrittenSuffix[] = ", 未写入服务器名字、密码和 REST API 设置 (文件保持原样)";

}  // namespace

// The server reads PalWorldSettings.ini as it starts: the name and passwords the main window shows
// must be the ones it uses, and the REST API must be on in the file by then for the stop to be
// able to ask it to save and shut down.
void StartWorldSettingsWriter::Write(const StartWorldSettings& wanted, EventLog& eventLog) {
  const bool apiOnByTool = settings_.restApiByTool;
  const StartSettingsWrite write =
      WriteStartSettings(paths_, {wanted.serverName, wanted.joinPassword, wanted.adminPassword,
                                  wanted.safeStop, wanted.restApiPort, apiOnByTool});
  if (write.plan.apiOnByTool != apiOnByTool) {
    settings_.restApiByTool = write.plan.apiOnByTool;
    GbkProfileFile settingsFile(ToolSettingsFile(paths_));
    SaveToolSetting(settingsFile, settings_, kRestApiByToolKey);
  }
  switch (write.result) {
    case WorldSettingsWrite::Unchanged:
      break;
    case WorldSettingsWrite::Written:
      eventLog.Record("已写入 PalWorldSettings.ini: " + PairsForEventLog(write.plan.pairs));
      break;
    case WorldSettingsWrite::Unreadable:
      eventLog.Record(WithCause("无法读取 PalWorldSettings.ini", write.error) + kNotWrittenSuffix);
      break;
    case WorldSettingsWrite::Undecodable:
      eventLog.Record(std::string("无法识别 PalWorldSettings.ini 的编码") + kNotWrittenSuffix);
      break;
    case WorldSettingsWrite::WriteFailed:
      eventLog.Record(WithCause("无法写入 PalWorldSettings.ini", write.error) +
                      ", 未能写入服务器名字、密码和 REST API 设置");
      break;
  }
  if (wanted.safeStop) WarnOfAdminPassword(wanted, eventLog);
}

// Without a password the API stays off, and every stop ends the server's processes instead of
// asking it to save; a weak one opens the server's admin commands to whoever reaches the port.
void StartWorldSettingsWriter::WarnOfAdminPassword(const StartWorldSettings& wanted,
                                                   EventLog& eventLog) {
  // A start nobody is there for goes on at once; the warning waits for whoever comes.
  const auto warn = [this, &wanted](std::string_view text) {
    if (wanted.unattended) {
      prompt_.TellInTurn(text, " Warning", PromptStyle::Warning);
    } else {
      prompt_.Ask(text, " Warning", PromptStyle::Warning);
    }
  };
  switch (JudgeAdminPassword(wanted.adminPassword)) {
    case AdminPasswordStrength::Empty:
      eventLog.Record("管理员密码为空, 未开启 REST API (关服时将直接结束服务端进程)");
      if (std::exchange(toldEmptyAdminPassword_, true)) return;
      warn(kEmptyAdminPasswordText);
      break;
    case AdminPasswordStrength::Weak:
      if (std::exchange(toldWeakAdminPassword_, true)) return;
      eventLog.Record("管理员密码过于简单 (少于 8 个字符或全是数字)");
      warn(kWeakAdminPasswordText);
      break;
    case AdminPasswordStrength::Strong:
      break;
  }
}

}  // namespace tidemoor
