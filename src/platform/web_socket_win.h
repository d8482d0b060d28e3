#pragma once
// A WebSocket conversation through WinHTTP (ws:// or wss://, TLS by the system), for a chat app's
// live channel. Its calls block: one thread receives, another may send, and any thread may end the
// conversation so the receiving one returns at once.

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace tidemoor {

struct WebSocketFrame {
  bool closed = false;  // the other side closed, or the conversation broke (error says why)
  std::string text;     // a whole UTF-8 text message (fragments joined); binary is skipped
  std::optional<SystemError> error;
};

class WebSocket {
 public:
  // A longer text message ends the conversation: nothing a chat app sends comes close.
  static constexpr size_t kMaxMessageBytes = 1024 * 1024;

  // Opens the ws:// or wss:// url, sending the extra request header lines (each ended by CR LF),
  // within the timeout for each step of the handshake; nullptr and the error on failure (its text
  // names the HTTP status when the server answered without switching protocols). Once open, a
  // receive waits for as long as it takes.
  static std::unique_ptr<WebSocket> Open(std::string_view url, std::string_view headers,
                                         std::chrono::milliseconds timeout, SystemError* error);
  // Ends the conversation and waits until WinHTTP has let go of it; no call may still run on
  // another thread.
  ~WebSocket();
  WebSocket(const WebSocket&) = delete;
  WebSocket& operator=(const WebSocket&) = delete;

  // Sends one text message. Safe to call from other threads while Receive blocks.
  Outcome Send(std::string_view text);
  // Blocks until a whole text message arrives or the conversation ends.
  WebSocketFrame Receive();
  // From any thread: ends the conversation, so a blocked Receive returns closed (without an
  // error) at once and later calls fail.
  void Abort();

 private:
  struct Conversation;
  explicit WebSocket(std::unique_ptr<Conversation> conversation);

  std::unique_ptr<Conversation> conversation_;
};

}  // namespace tidemoor
