#include "remote/kook_link_win.h"

#include <windows.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/dispatcher_win.h"
#include "platform/http_client_win.h"
#include "platform/job_pool_win.h"
#include "platform/unique_handle_win.h"
#include "platform/web_socket_win.h"
#include "remote/kook_api.h"
#include "remote/kook_sequence.h"
#include "remote/kook_signal.h"

namespace tidemoor {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// KOOK asks for a ping every 30 s and answers within 6 s; its HELLO comes within 6 s of the
// connection.
constexpr auto kPingEvery = 30s;
constexpr auto kAnswerWithin = 6s;
constexpr HttpLimits kApiLimits{10'000ms, 15'000ms, 256 * 1024};

std::string Why(const HttpAnswer& answer) {
  return HttpFailureText(answer.status, answer.failure, answer.networkError);
}

}  // namespace

std::string KookLineText(KookLineState state, std::string_view why, int retrySeconds) {
  switch (state) {
    case KookLineState::Off:
      return "未启用";
    case KookLineState::Connecting:
      return "正在连接…";
    case KookLineState::Online:
      return "已连接";
    case KookLineState::Broken:
      return "连接中断: " + std::string(why) + " - " + std::to_string(retrySeconds) + " 秒后重试";
    case KookLineState::Refused:
      return "KOOK 拒绝了机器人令牌 - 请检查令牌 (" + std::to_string(retrySeconds) + " 秒后重试)";
  }
  return {};
}

// Shared by the owner (window's thread), the line's job and its keeper's job.
struct KookLink::KookLine {
  std::mutex mutex;
  bool stopped = false;
  UniqueHandle wake{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::shared_ptr<WebSocket> socket;
  Clock::time_point openedAt;
  Clock::time_point lastPing;
  bool helloSeen = false;
  bool pongAwaited = false;
  uint64_t lastSn = 0;

  bool Stopped() {
    std::lock_guard lock(mutex);
    return stopped;
  }
  // Waits out the pause unless the line is ended meanwhile; false once it is.
  bool Pause(std::chrono::seconds pause) {
    ::WaitForSingleObject(wake.get(), static_cast<DWORD>(pause.count() * 1000));
    return !Stopped();
  }
  void End() {
    std::shared_ptr<WebSocket> open;
    {
      std::lock_guard lock(mutex);
      stopped = true;
      open = socket;
    }
    ::SetEvent(wake.get());
    if (open) open->Abort();
  }
};

namespace {

using Line = KookLink::KookLine;

// Hands the change to the window's thread, unless the line was ended meanwhile.
void TellLine(const std::shared_ptr<Line>& line, const std::weak_ptr<KookLinkEvents>& events,
              KookLineState state, std::string text) {
  HandBack([line, events, state, text = std::move(text)] {
    const std::shared_ptr<KookLinkEvents> alive = events.lock();
    if (alive && !line->Stopped()) alive->line(state, text);
  });
}

void TellMessage(const std::shared_ptr<Line>& line, const std::weak_ptr<KookLinkEvents>& events,
                 ChatMessage message) {
  HandBack([line, events, message = std::move(message)] {
    const std::shared_ptr<KookLinkEvents> alive = events.lock();
    if (alive && !line->Stopped()) alive->message(message);
  });
}

// The keeper: pings the open line every 30 s and breaks a line whose HELLO or PONG is late, so
// the receiving job notices a connection that died without a word.
void KeepLine(const std::shared_ptr<Line>& line) {
  while (::WaitForSingleObject(line->wake.get(), 1000) == WAIT_TIMEOUT) {
    std::shared_ptr<WebSocket> open;
    std::optional<uint64_t> ping;
    {
      std::lock_guard lock(line->mutex);
      if (!line->socket) continue;
      const Clock::time_point now = Clock::now();
      const bool late = line->helloSeen ? line->pongAwaited && now - line->lastPing > kAnswerWithin
                                        : now - line->openedAt > kAnswerWithin;
      open = line->socket;
      if (late) {
        line->socket.reset();
      } else if (line->helloSeen && now - line->lastPing >= kPingEvery) {
        line->lastPing = now;
        line->pongAwaited = true;
        ping = line->lastSn;
      } else {
        continue;
      }
    }
    if (ping) {
      open->Send(KookPing(*ping));
    } else {
      open->Abort();
    }
  }
}

struct Conversation {
  std::string why;  // why it ended
  bool wasOnline = false;
  bool sessionGone = false;  // KOOK asked for a new session: nothing to resume
};

// One connection, from its opening to its end.
Conversation Converse(const std::shared_ptr<Line>& line,
                      const std::weak_ptr<KookLinkEvents>& events, WebSocket& socket,
                      std::string_view selfId, KookSequence& sequence, std::string& sessionId,
                      bool resuming) {
  Conversation ended;
  for (;;) {
    WebSocketFrame frame = socket.Receive();
    if (frame.closed) {
      ended.why = frame.error ? frame.error->text : "连接已断开";
      if (ended.why.empty()) ended.why = "连接已断开";
      return ended;
    }
    const KookSignal signal = ReadKookSignal(frame.text, selfId);
    switch (signal.kind) {
      case KookSignalKind::Hello: {
        if (signal.code != 0) {
          ended.why = "KOOK 拒绝了连接 (" + std::to_string(signal.code) + ")";
          ended.sessionGone = true;
          return ended;
        }
        {
          std::lock_guard lock(line->mutex);
          line->helloSeen = true;
          line->lastPing = Clock::now();
          line->pongAwaited = false;
        }
        if (!resuming) sessionId = signal.sessionId;
        if (resuming) socket.Send(KookResume(sequence.Last()));
        ended.wasOnline = true;
        TellLine(line, events, KookLineState::Online, KookLineText(KookLineState::Online, "", 0));
        break;
      }
      case KookSignalKind::Pong: {
        std::lock_guard lock(line->mutex);
        line->pongAwaited = false;
        break;
      }
      case KookSignalKind::Reconnect:
        ended.why = "KOOK 要求重新连接";
        ended.sessionGone = true;
        return ended;
      case KookSignalKind::Event:
        if (signal.sn) {
          for (ChatMessage& message : sequence.Take(*signal.sn, signal.message)) {
            TellMessage(line, events, std::move(message));
          }
          std::lock_guard lock(line->mutex);
          line->lastSn = sequence.Last();
        }
        break;
      case KookSignalKind::ResumeAck:
      case KookSignalKind::Other:
      case KookSignalKind::Garbage:
        break;
    }
  }
}

// The line's life: find the gateway, connect, converse, and after a break pause (2, 4, 8 … 60 s)
// and connect again, resuming the session when there is one.
void RunLine(const std::shared_ptr<Line>& line, const std::weak_ptr<KookLinkEvents>& events,
             const std::string& api, const std::string& token) {
  const std::string authorization = "Authorization: Bot " + token + "\r\n";
  KookSequence sequence;
  std::string sessionId;
  std::string selfId;
  int failures = 0;
  while (!line->Stopped()) {
    TellLine(line, events, KookLineState::Connecting,
             KookLineText(KookLineState::Connecting, "", 0));
    std::string why;
    bool refused = false;
    if (selfId.empty()) {
      const HttpAnswer me = HttpRequest({"GET", api + "/user/me", authorization}, kApiLimits);
      if (std::optional<std::string> id = me.status == 200 ? ReadKookSelf(me.body) : std::nullopt) {
        selfId = *id;
      } else {
        refused = me.status == 401 || me.status == 403;
        why = me.status == 200 ? "KOOK 的回答无法识别" : Why(me);
      }
    }
    std::optional<std::string> gateway;
    if (why.empty()) {
      const HttpAnswer answer =
          HttpRequest({"GET", api + "/gateway/index?compress=0", authorization}, kApiLimits);
      gateway = answer.status == 200 ? ReadKookGateway(answer.body) : std::nullopt;
      refused = answer.status == 401 || answer.status == 403;
      if (!gateway) why = answer.status == 200 ? "KOOK 没有给出连接地址" : Why(answer);
    }
    if (gateway) {
      const bool resuming = !sessionId.empty() && sequence.Last() > 0;
      const std::string url = KookSocketUrl(
          *gateway, resuming ? std::optional(std::pair(sequence.Last(), sessionId)) : std::nullopt);
      SystemError error;
      std::shared_ptr<WebSocket> socket = WebSocket::Open(url, "", 10'000ms, &error);
      if (!socket) {
        why = error.text.empty() ? "无法连接" : error.text;
      } else {
        {
          std::lock_guard lock(line->mutex);
          if (line->stopped) return socket->Abort();
          line->socket = socket;
          line->openedAt = Clock::now();
          line->helloSeen = false;
        }
        const Conversation ended =
            Converse(line, events, *socket, selfId, sequence, sessionId, resuming);
        {
          std::lock_guard lock(line->mutex);
          line->socket.reset();
        }
        why = ended.why;
        if (ended.sessionGone) {
          sequence.Reset();
          sessionId.clear();
        }
        if (ended.wasOnline) failures = 0;
      }
    }
    if (line->Stopped()) return;
    const std::chrono::seconds pause = refused ? KookBackOff(99) : KookBackOff(++failures);
    const KookLineState state = refused ? KookLineState::Refused : KookLineState::Broken;
    TellLine(line, events, state, KookLineText(state, why, static_cast<int>(pause.count())));
    if (!line->Pause(pause)) return;
  }
}

}  // namespace

KookLink::KookLink(KookLinkEvents events)
    : events_(std::make_shared<KookLinkEvents>(std::move(events))) {
  PrepareDispatcher();
}

KookLink::~KookLink() {
  Stop();
}

void KookLink::Start(std::string apiBase, std::string token) {
  Stop();
  apiBase_ = std::move(apiBase);
  token_ = std::move(token);
  line_ = std::make_shared<KookLine>();
  std::weak_ptr<KookLinkEvents> events = events_;
  RunOnPool([line = line_, events, api = apiBase_, token = token_] {
    RunLine(line, events, api, token);
  });
  RunOnPool([line = line_] { KeepLine(line); });
}

void KookLink::Stop() {
  if (!line_) return;
  line_->End();
  line_.reset();
  // Replies still waiting were for the line that is gone.
  replies_.emplace();
}

void KookLink::Reply(const ChatMessage& to, std::string text) {
  if (!line_) return;
  const KookPost post = KookReply(to, text);
  HttpCall call{"POST", apiBase_ + post.path,
                "Authorization: Bot " + token_ + "\r\nContent-Type: application/json\r\n",
                post.body};
  std::weak_ptr<KookLinkEvents> events = events_;
  replies_->Run<std::string>(
      [call = std::move(call)] {
        const HttpAnswer answer = HttpRequest(call, kApiLimits);
        if (answer.status == 200 && KookAnswerOk(answer.body)) return std::string();
        return answer.status == 200 ? "KOOK 拒绝了回复: " + answer.body.substr(0, 200)
                                    : Why(answer);
      },
      [events](std::string why) {
        const std::shared_ptr<KookLinkEvents> alive = events.lock();
        if (alive && !why.empty()) alive->replyFailed(why);
      });
}

}  // namespace tidemoor
