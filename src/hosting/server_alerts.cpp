#include "hosting/server_alerts.h"

#include <utility>

namespace tidemoor {

std::optional<AlertEvent> AlertOfServerEvent(ServerEvent event, bool& startAlerted) {
  switch (event) {
    case ServerEvent::Crashed:
      return AlertEvent::Crash;
    case ServerEvent::CrashLoopStopped:
      return AlertEvent::CrashLoop;
    case ServerEvent::Hung:
      return AlertEvent::Hang;
    case ServerEvent::IntervalRestart:
      return AlertEvent::Restart;
    case ServerEvent::Started:
    case ServerEvent::Adopted:
      if (std::exchange(startAlerted, true)) return std::nullopt;
      return AlertEvent::Start;
  }
  return std::nullopt;
}

}  // namespace tidemoor
