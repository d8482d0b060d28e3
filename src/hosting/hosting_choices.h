#pragma once
// The host's choices the reactions around the running server follow, as they are at the moment a
// reaction needs them (the settings value is the app's; the hosting part sees only this).

#include <string>
#include <vector>

#include "net/alert_settings.h"
#include "remote/remote_settings.h"

namespace tidemoor {

struct HostingChoices {
  bool mapPortsAtStart = false;    // 开服时自动映射端口
  std::string memoryRestartGb;     // as typed; 0, empty or not a number: no memory restart
  std::string updateCheckMinutes;  // between two looks for a newer build; 0 = never
  AlertSettings alerts;            // where alerts go and which kinds
  std::string serverName;          // named in every alert
  bool keepAwake = true;           // 服务端运行时阻止电脑睡眠
  bool whitelist = false;          // 只允许白名单中的玩家
  RemoteSettings remote;           // control from a chat app
  // Every secret a chat reply must never show: passwords, the bot's token, the webhooks.
  std::vector<std::string> secrets;
};

}  // namespace tidemoor
