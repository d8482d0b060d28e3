#include "remote/kook_sequence.h"

namespace tidemoor {
namespace {

constexpr size_t kMostWaiting = 100;

}  // namespace

std::vector<ChatMessage> KookSequence::Take(uint64_t sn, std::optional<ChatMessage> message) {
  std::vector<ChatMessage> ready;
  if (sn <= last_) return ready;
  waiting_.insert_or_assign(sn, std::move(message));
  // The missing events are not coming after all: go on from the oldest that came.
  if (waiting_.size() > kMostWaiting) last_ = waiting_.begin()->first - 1;
  for (auto next = waiting_.begin(); next != waiting_.end() && next->first == last_ + 1;
       next = waiting_.erase(next)) {
    last_ = next->first;
    if (next->second) ready.push_back(std::move(*next->second));
  }
  return ready;
}

void KookSequence::Reset() {
  last_ = 0;
  waiting_.clear();
}

}  // namespace tidemoor
