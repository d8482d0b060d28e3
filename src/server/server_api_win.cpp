#include "server/server_api_win.h"

#include <memory>
#include <utility>

#include "platform/http_client_win.h"
#include "platform/job_pool_win.h"

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

WindowsServerApi::WindowsServerApi() = default;
WindowsServerApi::~WindowsServerApi() = default;

// Each asked request is a job of the pool of its own: one given up on (its server silent) may
// hold its thread for the full time-out, and must not hold up the next request behind it.
// Whichever comes first, the reply or the limit, answers and forgets the request: a reply after
// the limit finds it gone, and a limit after the reply was stopped with it.
void WindowsServerApi::Ask(const RestRequest& request, std::chrono::milliseconds limit,
                           std::function<void(const RestReply&)> done) {
  PrepareDispatcher();
  const uint64_t ticket = ++lastTicket_;
  Waiting& waiting = waiting_[ticket];
  waiting.done = std::move(done);
  waiting.limit.Start(
      limit, [this, ticket] { Answer(ticket, RestReply{.failure = HttpFailure::TimedOut}); });
  RunOnPool([request, ticket, alive = std::weak_ptr<bool>(alive_), api = this] {
    const RestReply reply = Exchange(request);
    HandBack([reply, ticket, alive, api] {
      if (!alive.expired()) api->Answer(ticket, reply);
    });
  });
}

void WindowsServerApi::Answer(uint64_t ticket, const RestReply& reply) {
  const auto found = waiting_.find(ticket);
  if (found == waiting_.end()) return;
  const std::function<void(const RestReply&)> done = std::move(found->second.done);
  waiting_.erase(found);
  done(reply);
}

void WindowsServerApi::Send(const RestRequest& request,
                            std::function<void(const RestReply&)> done) {
  background_.Run<RestReply>([request] { return Exchange(request); },
                             [done = std::move(done)](RestReply reply) { done(reply); });
}

}  // namespace tidemoor
