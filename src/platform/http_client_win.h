#pragma once
// Plain HTTP(S) GETs through WinINet with the system's proxy settings and no cache.

#include <chrono>
#include <cstddef>
#include <string_view>

#include "platform/http_answer.h"

namespace tidemoor {

struct HttpLimits {
  std::chrono::milliseconds connectTimeout;
  std::chrono::milliseconds receiveTimeout;  // the longest silence while sending or receiving
  size_t maxBodyBytes;                       // a longer body counts as no answer
};

// The whole body, bytes as received.
HttpAnswer HttpGet(std::string_view url, const HttpLimits& limits);

// A short text answer, given up after 5 seconds without a connection or without data, so the
// window that waits for it is never frozen for minutes. The body is cut at its first zero byte.
HttpAnswer HttpGetText(std::string_view url);

}  // namespace tidemoor
