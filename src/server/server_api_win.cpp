#include "server/server_api_win.h"

#include <algorithm>
#include <memory>

#include "platform/http_client_win.h"
#include "platform/delay_win.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;

// Answers are small JSON objects; a player list of a full server stays far below this.
constexpr size_t kMaxAnswerBytes = 4 << 20;

RestReply Exchange(const RestRequest& request) {
  // The API signs in with the administrator password: it goes straight to the server, and an
  // answer that sends it elsewhere fails the call.
  const HttpAnswer answer = HttpRequest(HttpCall{.method = request.method,
                                                 .url = request.url,
                                                 .headers = request.headers,
                                                 .body = request.body,
                                                 .systemProxy = false,
                                                 .followRedirects = false},
                                        {2s, 30s, kMaxAnswerBytes});
  return RestReply{answer.status, answer.body, answer.failure, answer.networkError};
}

}  // namespace

// Each asked request has a worker of its own: one given up on (its server silent) may hold its
// thread for the full time-out, and must not hold up the next request behind it.
struct WindowsServerApi::AskedRequest {
  Worker worker;
  Delay limit;
};

WindowsServerApi::WindowsServerApi() = default;
WindowsServerApi::~WindowsServerApi() = default;

// Whichever comes first, the reply or the limit, puts the request away, and with it the other:
// a reply after the limit is dropped with its worker, a limit after the reply with its Delay.
void WindowsServerApi::Ask(const RestRequest& request, std::chrono::milliseconds limit,
                           std::function<void(const RestReply&)> done) {
  AskedRequest* asked = asked_.emplace_back(std::make_unique<AskedRequest>()).get();
  auto answer = [this, asked, done = std::move(done)](const RestReply& reply) {
    const auto it = std::find_if(asked_.begin(), asked_.end(),
                                 [asked](const auto& entry) { return entry.get() == asked; });
    if (it == asked_.end()) return;
    const std::unique_ptr<AskedRequest> over = std::move(*it);
    asked_.erase(it);
    done(reply);
  };
  asked->worker.Run<RestReply>([request] { return Exchange(request); },
                               [answer](RestReply reply) { answer(reply); });
  asked->limit.After(limit, [answer] { answer(RestReply{.failure = HttpFailure::TimedOut}); });
}

void WindowsServerApi::Send(const RestRequest& request,
                            std::function<void(const RestReply&)> done) {
  background_.Run<RestReply>([request] { return Exchange(request); },
                             [done = std::move(done)](RestReply reply) { done(reply); });
}

}  // namespace tidemoor
