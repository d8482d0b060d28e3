#pragma once
// Which of the server's events the host hears of on their phone, as which kind of alert.

#include <optional>

#include "net/alert_settings.h"
#include "server/running_server.h"

namespace tidemoor {

// Crashes, hangs, the end of the automatic restarts and the scheduled restart each time; a start
// or an adoption only the first time since the tool started (startAlerted records it): after a
// reboot the host learns the server is back, while later starts follow a restart or a crash they
// were told of already.
std::optional<AlertEvent> AlertOfServerEvent(ServerEvent event, bool& startAlerted);

}  // namespace tidemoor
