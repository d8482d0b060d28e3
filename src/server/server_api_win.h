#pragma once
// The server's REST API over HTTP on Windows. Every request runs on a worker thread with a 2 s
// connect and a 30 s time-out; its reply comes back between the window's messages.

#include <functional>
#include <list>
#include <memory>

#include "platform/worker_win.h"
#include "server/server_world.h"

namespace tidemoor {

class WindowsServerApi : public ServerApi {
 public:
  // Made on the user-interface thread. Replies still under way when it is put away never come.
  WindowsServerApi();
  ~WindowsServerApi() override;

  void Ask(const RestRequest& request, std::chrono::milliseconds limit,
           std::function<void(const RestReply&)> done) override;
  void Send(const RestRequest& request, std::function<void(const RestReply&)> done) override;

 private:
  struct AskedRequest;
  std::list<std::unique_ptr<AskedRequest>> asked_;
  // Requests nobody waits for (the monitor's, announcements), one after another.
  Worker background_;
};

}  // namespace tidemoor
