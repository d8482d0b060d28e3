#include "platform/web_socket_win.h"

#include <windows.h>
#include <winhttp.h>

#include <mutex>
#include <optional>
#include <utility>

#include "platform/codepage_win.h"
#include "platform/http_answer.h"
#include "platform/system_error_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

struct WinHttpHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::WinHttpCloseHandle(h); }
};
using UniqueWinHttpHandle = UniqueResource<WinHttpHandleTraits>;

constexpr wchar_t kUserAgent[] = L"Tidemoor";
constexpr char kEndedText[] = "连接已关闭";
constexpr char kTooLongText[] = "收到的消息过长";

// WinHTTP shares WinINet's numbers for a refused connection, a time-out and an unknown host, so
// those read as the HTTP client's failures do; for the others Windows keeps its sentences in
// winhttp.dll, not with the system's.
SystemError WinHttpError(DWORD code) {
  constexpr DWORD kFirst = 12000, kLast = 12999;
  if (code < kFirst || code > kLast) return SystemErrorOf(code);
  const HttpFailure failure = HttpFailureOfNetworkError(code);
  if (failure != HttpFailure::Network) return {code, HttpFailureText(0, failure, code)};
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
      ::GetModuleHandleW(L"winhttp.dll"), code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", length);
  ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
  if (text.empty()) return {code, HttpFailureText(0, failure, code)};
  return {code, Narrow(text)};
}

SystemError LastWinHttpError() {
  return WinHttpError(::GetLastError());
}

struct Target {
  std::wstring host;
  std::wstring pathAndQuery;
  INTERNET_PORT port = 0;
  bool secure = false;
};

// WinHTTP reads only http:// and https:// addresses; a WebSocket's are the same behind another
// scheme.
bool ReadTarget(std::string_view url, Target& target) {
  std::string httpUrl;
  if (url.starts_with("ws://")) {
    httpUrl = "http://" + std::string(url.substr(5));
  } else if (url.starts_with("wss://")) {
    httpUrl = "https://" + std::string(url.substr(6));
  } else {
    ::SetLastError(ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
    return false;
  }
  const std::wstring wide = Widen(httpUrl);
  URL_COMPONENTS parts{sizeof(parts)};
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!::WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) return false;
  target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  target.pathAndQuery.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  target.pathAndQuery.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (target.pathAndQuery.empty()) target.pathAndQuery = L"/";
  target.port = parts.nPort;
  target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  return true;
}

UniqueHandle NewEvent(bool manualReset) {
  return UniqueHandle(::CreateEventW(nullptr, manualReset, FALSE, nullptr));
}

// What an asynchronous call reported when it finished.
struct Completion {
  UniqueHandle done = NewEvent(false);
  DWORD error = NO_ERROR;
  DWORD bytes = 0;
  WINHTTP_WEB_SOCKET_BUFFER_TYPE type = WINHTTP_WEB_SOCKET_UTF8_MESSAGE_BUFFER_TYPE;

  void Finish(DWORD result) {
    error = result;
    ::SetEvent(done.get());
  }
};

}  // namespace

// WinHTTP runs asynchronously here: a blocking receive of its own would not give up when another
// thread closes its handle under Wine, which only cancels calls still queued (the receive would
// wait for the next frame, and keep-alive pongs mean there may never be one). So each call is
// started under the lock and waited for outside it, and an abort cuts every wait short at once.
struct WebSocket::Conversation {
  UniqueWinHttpHandle session;
  UniqueWinHttpHandle connection;
  std::mutex mutex;  // guards socket, ended and endedBy, and the start of each call on socket
  UniqueWinHttpHandle socket;
  bool ended = false;
  std::optional<SystemError> endedBy;
  std::mutex sendMutex;  // WinHTTP takes one send at a time

  // Written by WinHTTP's threads until the socket handle has gone.
  Completion handshake, receive, send;
  char receiveBuffer[16384];
  std::string sendBuffer;
  UniqueHandle aborted = NewEvent(true);
  UniqueHandle socketGone = NewEvent(true);

  // Waits for the call to finish; false once the conversation has ended.
  bool WaitFor(Completion& call) {
    const HANDLE events[] = {call.done.get(), aborted.get()};
    return ::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0;
  }

  // Ends the conversation unless it has ended already; the first reason stays.
  WebSocketFrame End(std::optional<SystemError> why) {
    std::lock_guard<std::mutex> hold(mutex);
    if (!ended) {
      ended = true;
      endedBy = std::move(why);
      ::SetEvent(aborted.get());
    }
    socket.reset();
    return {true, {}, endedBy};
  }

  SystemError WhyEnded() {
    std::lock_guard<std::mutex> hold(mutex);
    return endedBy.value_or(SystemError{0, kEndedText});
  }

  static void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, void* info,
                                DWORD length) {
    if (context == 0) return;
    auto& self = *reinterpret_cast<Conversation*>(context);
    switch (status) {
      case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
      case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
        self.handshake.Finish(NO_ERROR);
        break;
      case WINHTTP_CALLBACK_STATUS_READ_COMPLETE: {
        const auto& read = *static_cast<WINHTTP_WEB_SOCKET_STATUS*>(info);
        self.receive.bytes = read.dwBytesTransferred;
        self.receive.type = read.eBufferType;
        self.receive.Finish(NO_ERROR);
        break;
      }
      case WINHTTP_CALLBACK_STATUS_WRITE_COMPLETE:
      case WINHTTP_CALLBACK_STATUS_SHUTDOWN_COMPLETE:
        self.send.Finish(NO_ERROR);
        break;
      case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR: {
        // The socket's errors say which call failed; the handshake's are shorter, without one.
        const DWORD code = static_cast<WINHTTP_ASYNC_RESULT*>(info)->dwError;
        if (length < sizeof(WINHTTP_WEB_SOCKET_ASYNC_RESULT)) {
          self.handshake.Finish(code);
        } else if (static_cast<WINHTTP_WEB_SOCKET_ASYNC_RESULT*>(info)->Operation ==
                   WINHTTP_WEB_SOCKET_RECEIVE_OPERATION) {
          self.receive.Finish(code);
        } else {
          self.send.Finish(code);
        }
        break;
      }
      case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
        ::SetEvent(self.socketGone.get());
        break;
      default:
        break;
    }
  }
};

namespace {

// A handle whose calls are over stops reporting to the conversation before it closes, so nothing
// reaches it once it is gone.
void Forget(UniqueWinHttpHandle& handle) {
  DWORD_PTR none = 0;
  if (handle) ::WinHttpSetOption(handle.get(), WINHTTP_OPTION_CONTEXT_VALUE, &none, sizeof(none));
  handle.reset();
}

}  // namespace

WebSocket::WebSocket(std::unique_ptr<Conversation> conversation)
    : conversation_(std::move(conversation)) {}

WebSocket::~WebSocket() {
  Abort();
  // WinHTTP may still write into the conversation until it reports the socket handle gone.
  constexpr DWORD kLongestGoodbyeMs = 10000;
  if (::WaitForSingleObject(conversation_->socketGone.get(), kLongestGoodbyeMs) != WAIT_OBJECT_0) {
    conversation_.release();  // kept for good: freeing it would let a late report write anywhere
  }
}

std::unique_ptr<WebSocket> WebSocket::Open(std::string_view url, std::string_view headers,
                                           std::chrono::milliseconds timeout, SystemError* error) {
  Target target;
  if (!ReadTarget(url, target)) {
    if (error) *error = LastWinHttpError();
    return nullptr;
  }
  auto conversation = std::make_unique<Conversation>();
  UniqueWinHttpHandle request;
  auto fail = [&](SystemError why) {
    Forget(request);
    if (error) *error = std::move(why);
    return nullptr;
  };
  conversation->session.reset(::WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                            WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                                            WINHTTP_FLAG_ASYNC));
  if (!conversation->session) return fail(LastWinHttpError());
  ::WinHttpSetStatusCallback(conversation->session.get(), &Conversation::OnStatus,
                             WINHTTP_CALLBACK_FLAG_ALL_NOTIFICATIONS, 0);
  // Each step of the handshake ends within the time-out, so waiting for it needs no limit.
  const int ms = static_cast<int>(timeout.count());
  ::WinHttpSetTimeouts(conversation->session.get(), ms, ms, ms, ms);
  conversation->connection.reset(
      ::WinHttpConnect(conversation->session.get(), target.host.c_str(), target.port, 0));
  if (!conversation->connection) return fail(LastWinHttpError());
  request.reset(::WinHttpOpenRequest(
      conversation->connection.get(), L"GET", target.pathAndQuery.c_str(), nullptr,
      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, target.secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return fail(LastWinHttpError());
  if (!::WinHttpSetOption(request.get(), WINHTTP_OPTION_UPGRADE_TO_WEB_SOCKET, nullptr, 0)) {
    return fail(LastWinHttpError());
  }
  Completion& handshake = conversation->handshake;
  const std::wstring wideHeaders = Widen(headers);
  if (!::WinHttpSendRequest(
          request.get(), wideHeaders.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : wideHeaders.c_str(),
          static_cast<DWORD>(wideHeaders.size()), WINHTTP_NO_REQUEST_DATA, 0, 0,
          reinterpret_cast<DWORD_PTR>(conversation.get()))) {
    return fail(LastWinHttpError());
  }
  ::WaitForSingleObject(handshake.done.get(), INFINITE);
  if (handshake.error != NO_ERROR) return fail(WinHttpError(handshake.error));
  if (!::WinHttpReceiveResponse(request.get(), nullptr)) return fail(LastWinHttpError());
  ::WaitForSingleObject(handshake.done.get(), INFINITE);
  if (handshake.error != NO_ERROR) return fail(WinHttpError(handshake.error));

  DWORD status = 0, size = sizeof(status);
  if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
    return fail(LastWinHttpError());
  }
  constexpr DWORD kSwitchingProtocols = 101;
  if (status != kSwitchingProtocols) {
    return fail({0, HttpFailureText(static_cast<int>(status), HttpFailure::None, 0)});
  }
  // A chat service stays silent for as long as nobody writes: from here on a receive waits
  // without limit, and only Abort cuts it short.
  ::WinHttpSetTimeouts(request.get(), ms, ms, ms, 0);
  conversation->socket.reset(::WinHttpWebSocketCompleteUpgrade(
      request.get(), reinterpret_cast<DWORD_PTR>(conversation.get())));
  if (!conversation->socket) return fail(LastWinHttpError());
  Forget(request);
  return std::unique_ptr<WebSocket>(new WebSocket(std::move(conversation)));
}

Outcome WebSocket::Send(std::string_view text) {
  Conversation& c = *conversation_;
  std::lock_guard<std::mutex> sending(c.sendMutex);
  DWORD result = NO_ERROR;
  {
    std::lock_guard<std::mutex> hold(c.mutex);
    if (!c.socket) return c.endedBy.value_or(SystemError{0, kEndedText});
    c.sendBuffer.assign(text);
    result = ::WinHttpWebSocketSend(c.socket.get(), WINHTTP_WEB_SOCKET_UTF8_MESSAGE_BUFFER_TYPE,
                                    c.sendBuffer.data(), static_cast<DWORD>(c.sendBuffer.size()));
  }
  if (result == NO_ERROR) {
    if (!c.WaitFor(c.send)) return c.WhyEnded();
    result = c.send.error;
  }
  if (result == NO_ERROR) return {};
  // Any failure here means the connection beneath is gone: the receiving thread learns it too.
  c.End(WinHttpError(result));
  return c.WhyEnded();
}

WebSocketFrame WebSocket::Receive() {
  Conversation& c = *conversation_;
  std::string message;
  for (;;) {
    DWORD result = NO_ERROR;
    {
      std::lock_guard<std::mutex> hold(c.mutex);
      if (!c.socket) return {true, {}, c.endedBy};
      DWORD unused = 0;
      WINHTTP_WEB_SOCKET_BUFFER_TYPE unusedType;
      result = ::WinHttpWebSocketReceive(c.socket.get(), c.receiveBuffer, sizeof(c.receiveBuffer),
                                         &unused, &unusedType);
    }
    if (result == NO_ERROR) {
      if (!c.WaitFor(c.receive)) return c.End(std::nullopt);
      result = c.receive.error;
    }
    if (result != NO_ERROR) return c.End(WinHttpError(result));
    switch (c.receive.type) {
      case WINHTTP_WEB_SOCKET_CLOSE_BUFFER_TYPE: {
        // Answered with a close of our own, as the other side waits for one.
        std::lock_guard<std::mutex> sending(c.sendMutex);
        DWORD shutdown = ERROR_INVALID_HANDLE;
        {
          std::lock_guard<std::mutex> hold(c.mutex);
          if (c.socket) {
            shutdown = ::WinHttpWebSocketShutdown(
                c.socket.get(), WINHTTP_WEB_SOCKET_SUCCESS_CLOSE_STATUS, nullptr, 0);
          }
        }
        if (shutdown == NO_ERROR) c.WaitFor(c.send);
        return c.End(std::nullopt);
      }
      case WINHTTP_WEB_SOCKET_BINARY_FRAGMENT_BUFFER_TYPE:
      case WINHTTP_WEB_SOCKET_BINARY_MESSAGE_BUFFER_TYPE:
        break;  // nothing the tool talks to speaks binary
      case WINHTTP_WEB_SOCKET_UTF8_FRAGMENT_BUFFER_TYPE:
      case WINHTTP_WEB_SOCKET_UTF8_MESSAGE_BUFFER_TYPE:
        if (message.size() + c.receive.bytes > kMaxMessageBytes) {
          return c.End(SystemError{0, kTooLongText});
        }
        message.append(c.receiveBuffer, c.receive.bytes);
        if (c.receive.type == WINHTTP_WEB_SOCKET_UTF8_MESSAGE_BUFFER_TYPE) {
          return {false, message, {}};
        }
        break;
    }
  }
}

void WebSocket::Abort() {
  conversation_->End(std::nullopt);
}

}  // namespace tidemoor
