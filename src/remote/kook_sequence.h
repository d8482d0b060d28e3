#pragma once
// The order of KOOK's events: each carries a sequence number, and the gateway may send one twice
// or out of order. Events are acted on once each, in order.

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "remote/chat_message.h"

namespace tidemoor {

class KookSequence {
 public:
  // The events ready to act on, in order: sn == last+1 goes through (and any buffered ones that
  // follow it); sn <= last is a repeat and dropped; after a gap events wait for the missing ones
  // (at most 100 wait; beyond that the oldest waiting one becomes the new start). Returns the
  // messages among the events that went through.
  std::vector<ChatMessage> Take(uint64_t sn, std::optional<ChatMessage> message);
  uint64_t Last() const { return last_; }
  // A new session (after a Reconnect or a failed resume): numbers start again from 1.
  void Reset();

 private:
  uint64_t last_ = 0;
  std::map<uint64_t, std::optional<ChatMessage>> waiting_;
};

}  // namespace tidemoor
