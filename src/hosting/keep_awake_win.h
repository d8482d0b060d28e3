#pragma once
// Keeps the PC from going to sleep while the server runs: a sleeping PC is a server no player can
// reach. It asks for the system only, never the display, and leaves the lid and the power button
// to the host.

#include <functional>
#include <string_view>

#include "platform/unique_handle_win.h"

namespace tidemoor {

class KeepAwake {
 public:
  explicit KeepAwake(std::function<void(std::string_view)> record) : record_(std::move(record)) {}

  // Sets or clears the request when wanted changed since the last call; each change, or why it
  // could not be set (once, until wanted changes), goes to the event log.
  void Follow(bool wanted);

 private:
  std::function<void(std::string_view)> record_;
  // INVALID_HANDLE_VALUE when it could not be made, as PowerCreateRequest reports it.
  UniqueFileHandle request_;
  bool wanted_ = false;
  bool held_ = false;
};

}  // namespace tidemoor
