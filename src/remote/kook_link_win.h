#pragma once
// The KOOK bot's line to the chat: an outgoing WebSocket to KOOK's gateway (nothing opened on the
// PC or the router), held in the background and made again after every break, with the events
// it missed asked for again where KOOK allows. People's messages and the line's changes come back
// to the window's thread; replies go out through KOOK's HTTP API.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/worker_win.h"
#include "remote/chat_message.h"

namespace tidemoor {

enum class KookLineState {
  Off,
  Connecting,
  Online,
  Broken,   // lost or not made; tried again after a pause
  Refused,  // KOOK refused the token; tried again after the longest pause
};

// "已连接", "正在连接…", "连接中断: <why> - 30 秒后重试", "KOOK 拒绝了机器人令牌 - 请检查令牌".
std::string KookLineText(KookLineState state, std::string_view why, int retrySeconds);

struct KookLinkEvents {
  std::function<void(const ChatMessage&)> message;
  // Every change of the line, with the text to show.
  std::function<void(KookLineState, const std::string& text)> line;
  // A reply that could not be posted, with why.
  std::function<void(const std::string& why)> replyFailed;
};

class KookLink {
 public:
  explicit KookLink(KookLinkEvents events);
  ~KookLink();
  KookLink(const KookLink&) = delete;
  KookLink& operator=(const KookLink&) = delete;

  // Connects with the token through the API base (the old line, if any, is ended first).
  void Start(std::string apiBase, std::string token);
  // Ends the line; nothing comes back from it afterwards, not even the change to Off.
  void Stop();
  bool Running() const { return line_ != nullptr; }

  // Posts the reply to where the message came from, quoting it.
  void Reply(const ChatMessage& to, std::string text);

  struct KookLine;  // what the background jobs share with this object

 private:
  std::shared_ptr<KookLinkEvents> events_;
  std::shared_ptr<KookLine> line_;
  std::string apiBase_;
  std::string token_;
  std::optional<Worker> replies_{std::in_place};
};

}  // namespace tidemoor
