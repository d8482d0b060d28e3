#include "server/server_api_win.h"

#include <memory>
#include <optional>

#include "platform/http_client_win.h"
#include "platform/pumping_wait_win.h"

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

// Each waited request has a worker of its own: one given up on (its server silent) may hold its
// thread for the full time-out, and must not hold up the next request behind it.
RestReply WindowsServerApi::Ask(const RestRequest& request, std::chrono::milliseconds limit) {
  std::optional<RestReply> reply;
  {
    Worker worker;
    worker.Run<RestReply>([request] { return Exchange(request); },
                          [&reply](RestReply answer) { reply = std::move(answer); });
    PumpUntil([&] { return reply.has_value() || closing_(); }, limit);
  }
  return reply.value_or(RestReply{.failure = HttpFailure::TimedOut});  // given up on
}

void WindowsServerApi::Send(const RestRequest& request,
                            std::function<void(const RestReply&)> done) {
  background_.Run<RestReply>([request] { return Exchange(request); },
                             [done = std::move(done)](RestReply reply) { done(reply); });
}

}  // namespace tidemoor
