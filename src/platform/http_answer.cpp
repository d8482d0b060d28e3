#include "platform/http_answer.h"

namespace tidemoor {

// WinINet's codes, kept here as numbers so the words are decided (and tested) on any system.
HttpFailure HttpFailureOfNetworkError(uint32_t code) {
  constexpr uint32_t kTimeout = 12002;          // ERROR_INTERNET_TIMEOUT
  constexpr uint32_t kNameNotResolved = 12007;  // ERROR_INTERNET_NAME_NOT_RESOLVED
  constexpr uint32_t kCannotConnect = 12029;    // ERROR_INTERNET_CANNOT_CONNECT
  switch (code) {
    case kTimeout:
      return HttpFailure::TimedOut;
    case kNameNotResolved:
      return HttpFailure::NameNotResolved;
    case kCannotConnect:
      return HttpFailure::Refused;
    default:
      return HttpFailure::Network;
  }
}

std::string HttpFailureText(int status, HttpFailure failure, uint32_t networkError) {
  if (status != 0) return "HTTP " + std::to_string(status);
  switch (failure) {
    case HttpFailure::Refused:
      return "连接被拒绝";
    case HttpFailure::TimedOut:
      return "连接超时";
    case HttpFailure::NameNotResolved:
      return "无法解析主机名";
    case HttpFailure::Network:
      return "网络错误 " + std::to_string(networkError);
    case HttpFailure::TooLong:
      return "回应过长";
    case HttpFailure::None:
      break;
  }
  return "";
}

}  // namespace tidemoor
