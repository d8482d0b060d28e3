#pragma once
// Plain HTTP(S) requests through WinINet, by default with the system's proxy settings; no cache.
// They block the calling thread: the user-interface thread calls only the short GETs below, longer
// conversations (the server's REST API) run on a worker.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/http_answer.h"

namespace tidemoor {

struct HttpLimits {
  std::chrono::milliseconds connectTimeout;
  std::chrono::milliseconds receiveTimeout;  // the longest silence while sending or receiving
  size_t maxBodyBytes;                       // a longer body counts as no answer
};

struct HttpCall {
  std::string method = "GET";  // GET, POST
  std::string url;
  std::string headers;  // extra request header lines, each ended by CR LF
  std::string body;     // sent as it stands (a POST's JSON)
  // Off for a service on this machine or the LAN: its password must never pass through a proxy,
  // and an answer that points elsewhere is a failure, never followed (a 3xx comes back as it is).
  bool systemProxy = true;
  bool followRedirects = true;
};

// The whole answer body, bytes as received. The request speaks HTTP/1.1 when it carries a body or
// headers of its own, HTTP/1.0 otherwise.
HttpAnswer HttpRequest(const HttpCall& call, const HttpLimits& limits);

// The whole body, bytes as received.
HttpAnswer HttpGet(std::string_view url, const HttpLimits& limits);

// A short text answer, given up after 5 seconds without a connection or without data, so the
// window that waits for it is never frozen for minutes. The body is cut at its first zero byte.
HttpAnswer HttpGetText(std::string_view url);

}  // namespace tidemoor
