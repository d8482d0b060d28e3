#pragma once

#include <cstdint>
#include <string>

namespace tidemoor {

// Why a request brought no answer at all.
enum class HttpFailure {
  None,             // it was answered, or the cause is not known
  Refused,          // nothing listens on the port, or a firewall turned the connection away
  TimedOut,         // no connection, or no data, within the time allowed
  NameNotResolved,  // the host's name is not known to the name servers
  Network,          // any other network failure; networkError tells which
  TooLong,          // the body went past the longest the caller takes
};

// What an HTTP request brought back. A status of 0 means no answer at all, and failure says why.
struct HttpAnswer {
  int status = 0;
  std::string body;
  HttpFailure failure = HttpFailure::None;
  uint32_t networkError = 0;  // the WinINet error code of a failed request
};

// The kind of a WinINet error code.
HttpFailure HttpFailureOfNetworkError(uint32_t code);

// Why a request failed, in the words every message uses: "连接被拒绝", "连接超时",
// "无法解析主机名", "网络错误 <code>", "回应过长" for no answer, "HTTP <status>" for an answer;
// empty for no answer whose cause is not known.
std::string HttpFailureText(int status, HttpFailure failure, uint32_t networkError);

}  // namespace tidemoor
