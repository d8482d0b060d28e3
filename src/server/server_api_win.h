#pragma once
// The server's REST API over HTTP on Windows. Every request runs on the tool's pool with a 2 s
// connect and a 30 s time-out; its reply comes back between the window's messages.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/dispatcher_win.h"
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
  // An asked request waiting for its reply or its limit, whichever comes first.
  struct Waiting {
    std::function<void(const RestReply&)> done;
    DispatchTimer limit;
  };
  void Answer(uint64_t ticket, const RestReply& reply);

  std::map<uint64_t, Waiting> waiting_;
  uint64_t lastTicket_ = 0;
  // Replies coming back check it on the window's thread: the object may be gone by then.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  // Requests nobody waits for (the monitor's, announcements), one after another.
  Worker background_;
};

}  // namespace tidemoor
