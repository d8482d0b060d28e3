#include "remote/remote_rate_limit.h"

namespace tidemoor {
namespace {

constexpr auto kPersonGap = std::chrono::seconds(3);
constexpr auto kWindow = std::chrono::minutes(1);
constexpr size_t kCommandsPerWindow = 20;

}  // namespace

bool RemoteRateLimit::Admit(std::string_view authorId, std::chrono::steady_clock::time_point now) {
  while (!takenInWindow_.empty() && now - takenInWindow_.front() >= kWindow) {
    takenInWindow_.pop_front();
  }
  std::erase_if(lastByPerson_, [&](const auto& entry) { return now - entry.second >= kWindow; });
  const auto last = lastByPerson_.find(authorId);
  if (last != lastByPerson_.end() && now - last->second < kPersonGap) return false;
  if (takenInWindow_.size() >= kCommandsPerWindow) return false;
  takenInWindow_.push_back(now);
  lastByPerson_.insert_or_assign(std::string(authorId), now);
  return true;
}

}  // namespace tidemoor
