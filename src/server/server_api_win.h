#pragma once
// The server's REST API over HTTP on Windows. Every request runs on a worker thread with a 2 s
// connect and a 30 s time-out; the user-interface thread only ever waits between its messages.

#include <functional>

#include "platform/worker_win.h"
#include "server/server_world.h"

namespace tidemoor {

class WindowsServerApi : public ServerApi {
 public:
  // Made on the user-interface thread. closing tells whether the main window has begun to go
  // away, which ends a wait at once.
  explicit WindowsServerApi(std::function<bool()> closing) : closing_(std::move(closing)) {}

  RestReply Ask(const RestRequest& request, std::chrono::milliseconds limit) override;
  void Send(const RestRequest& request, std::function<void(const RestReply&)> done) override;

 private:
  std::function<bool()> closing_;
  // Requests nobody waits for (the monitor's, announcements), one after another.
  Worker background_;
};

}  // namespace tidemoor
