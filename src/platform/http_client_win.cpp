#include "platform/http_client_win.h"

#include <windows.h>
#include <wininet.h>

#include <string>
#include <utility>

#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::InternetCloseHandle(h); }
};
using UniqueInternetHandle = UniqueResource<InternetHandleTraits>;

constexpr wchar_t kUserAgent[] = L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// Set on every handle: Windows passes a session's time-outs down to its requests, Wine does not.
void SetTimeouts(HINTERNET handle, const HttpLimits& limits) {
  const std::pair<DWORD, std::chrono::milliseconds> timeouts[] = {
      {INTERNET_OPTION_CONNECT_TIMEOUT, limits.connectTimeout},
      {INTERNET_OPTION_SEND_TIMEOUT, limits.receiveTimeout},
      {INTERNET_OPTION_RECEIVE_TIMEOUT, limits.receiveTimeout}};
  for (const auto& [option, timeout] : timeouts) {
    DWORD ms = static_cast<DWORD>(timeout.count());
    ::InternetSetOptionW(handle, option, &ms, sizeof(ms));
  }
}

struct UrlParts {
  std::wstring host;
  std::wstring path;  // with the query
  INTERNET_PORT port = 0;
  bool secure = false;
};

bool CrackUrl(std::string_view url, UrlParts& parts) {
  const std::wstring wide = Widen(url);
  wchar_t host[256] = {}, path[2048] = {}, extra[2048] = {};
  URL_COMPONENTSW components{sizeof(components)};
  components.lpszHostName = host;
  components.dwHostNameLength = ARRAYSIZE(host);
  components.lpszUrlPath = path;
  components.dwUrlPathLength = ARRAYSIZE(path);
  components.lpszExtraInfo = extra;
  components.dwExtraInfoLength = ARRAYSIZE(extra);
  if (!::InternetCrackUrlW(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &components)) {
    return false;
  }
  if (components.nScheme != INTERNET_SCHEME_HTTP && components.nScheme != INTERNET_SCHEME_HTTPS) {
    ::SetLastError(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    return false;
  }
  parts.host = host;
  parts.path = std::wstring(path) + extra;
  if (parts.path.empty()) parts.path = L"/";
  parts.port = components.nPort;
  parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
  return true;
}

// No answer, for the WinINet call that just failed.
HttpAnswer NoAnswer() {
  const DWORD code = ::GetLastError();
  return {0, {}, HttpFailureOfNetworkError(code), code};
}

}  // namespace

HttpAnswer HttpGet(std::string_view url, const HttpLimits& limits) {
  return HttpRequest(HttpCall{"GET", std::string(url), {}, {}}, limits);
}

HttpAnswer HttpRequest(const HttpCall& call, const HttpLimits& limits) {
  UrlParts parts;
  if (!CrackUrl(call.url, parts)) return NoAnswer();
  UniqueInternetHandle session(::InternetOpenW(
      kUserAgent, call.systemProxy ? INTERNET_OPEN_TYPE_PRECONFIG : INTERNET_OPEN_TYPE_DIRECT,
      nullptr, nullptr, 0));
  if (!session) return NoAnswer();
  SetTimeouts(session.get(), limits);
  DWORD retries = 1;
  ::InternetSetOptionW(session.get(), INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof(retries));

  UniqueInternetHandle connection(::InternetConnectW(session.get(), parts.host.c_str(), parts.port,
                                                     nullptr, nullptr, INTERNET_SERVICE_HTTP, 0,
                                                     0));
  if (!connection) return NoAnswer();
  SetTimeouts(connection.get(), limits);
  const wchar_t* acceptTypes[] = {L"*/*", nullptr};
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                INTERNET_FLAG_NO_COOKIES;
  if (parts.secure) flags |= INTERNET_FLAG_SECURE;
  if (!call.followRedirects) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
  const bool plain = call.headers.empty() && call.body.empty();
  UniqueInternetHandle request(
      ::HttpOpenRequestW(connection.get(), Widen(call.method).c_str(), parts.path.c_str(),
                         plain ? L"HTTP/1.0" : L"HTTP/1.1", nullptr, acceptTypes, flags, 0));
  if (!request) return NoAnswer();
  SetTimeouts(request.get(), limits);
  const std::wstring headers = Widen(call.headers);
  std::string body = call.body;
  if (!::HttpSendRequestW(request.get(), headers.empty() ? nullptr : headers.c_str(),
                          static_cast<DWORD>(headers.size()), body.empty() ? nullptr : body.data(),
                          static_cast<DWORD>(body.size()))) {
    return NoAnswer();
  }

  DWORD status = 0, size = sizeof(status);
  if (!::HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr)) {
    return NoAnswer();
  }
  HttpAnswer answer;
  char buffer[16384];
  DWORD read = 0;
  while (true) {
    if (!::InternetReadFile(request.get(), buffer, sizeof(buffer), &read)) return NoAnswer();
    if (read == 0) break;
    if (answer.body.size() + read > limits.maxBodyBytes) {
      return {0, {}, HttpFailure::TooLong, 0};
    }
    answer.body.append(buffer, read);
  }
  answer.status = static_cast<int>(status);
  return answer;
}

HttpAnswer HttpGetText(std::string_view url) {
  using namespace std::chrono_literals;
  HttpAnswer answer = HttpGet(url, {5s, 5s, 64 * 1024});
  if (const size_t zero = answer.body.find('\0'); zero != std::string::npos) {
    answer.body.resize(zero);
  }
  return answer;
}

}  // namespace tidemoor
