#pragma once
// How often commands from a chat app are taken, so a person or a crowd cannot keep the bot and the
// server busy: one command per person every 3 seconds, 20 a minute from everyone together.

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace tidemoor {

class RemoteRateLimit {
 public:
  // Whether a command from the person may be taken now; a taken one counts against both limits,
  // one turned away against neither.
  bool Admit(std::string_view authorId, std::chrono::steady_clock::time_point now);

 private:
  // When each person's last command was taken; people idle for a minute are forgotten, so at
  // most the 20 of the last minute are remembered.
  std::map<std::string, std::chrono::steady_clock::time_point, std::less<>> lastByPerson_;
  std::deque<std::chrono::steady_clock::time_point> takenInWindow_;
};

}  // namespace tidemoor
