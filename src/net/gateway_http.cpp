#include "net/gateway_http.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "platform/text.h"

namespace tidemoor {
namespace {

std::optional<size_t> Number(std::string_view text, int base) {
  text = TrimBlanks(text);
  size_t value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc{}) return std::nullopt;
  // A chunk size may carry extensions after ';'.
  if (ptr != text.data() + text.size() && *ptr != ';') return std::nullopt;
  return value;
}

std::optional<std::string> Unchunked(std::string_view body) {
  std::string joined;
  for (;;) {
    const size_t lineEnd = body.find("\r\n");
    if (lineEnd == std::string_view::npos) return std::nullopt;
    const std::optional<size_t> size = Number(body.substr(0, lineEnd), 16);
    if (!size) return std::nullopt;
    body.remove_prefix(lineEnd + 2);
    if (*size == 0) return joined;
    if (*size > body.size()) return std::nullopt;
    joined.append(body.substr(0, *size));
    body.remove_prefix(*size);
    if (body.substr(0, 2) != "\r\n") return std::nullopt;
    body.remove_prefix(2);
  }
}

}  // namespace

std::optional<std::string> GatewayRequestText(const HttpUrl& url, std::string_view soapAction,
                                              std::string_view body) {
  for (const std::string_view part :
       {std::string_view(url.host), std::string_view(url.path), soapAction}) {
    if (std::any_of(part.begin(), part.end(),
                    [](char c) { return static_cast<unsigned char>(c) < ' ' || c == 0x7F; })) {
      return std::nullopt;
    }
  }
  const bool soap = !soapAction.empty();
  std::string text = std::string(soap ? "POST " : "GET ") + url.path +
                     " HTTP/1.1\r\nHost: " + url.host + ":" + std::to_string(url.port) +
                     "\r\nConnection: close\r\n";
  if (soap) {
    text += "Content-Type: text/xml; charset=\"utf-8\"\r\nSOAPAction: " + std::string(soapAction) +
            "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  }
  return text + "\r\n" + std::string(body);
}

HttpAnswer ReadGatewayAnswer(std::string_view raw) {
  const size_t headEnd = raw.find("\r\n\r\n");
  if (headEnd == std::string_view::npos || raw.substr(0, 5) != "HTTP/") return {};
  const std::string_view head = raw.substr(0, headEnd);
  std::string_view body = raw.substr(headEnd + 4);
  size_t lineEnd = head.find("\r\n");
  const std::string_view statusLine = head.substr(0, lineEnd);
  const size_t blank = statusLine.find(' ');
  if (blank == std::string_view::npos) return {};
  const std::string_view code = statusLine.substr(blank + 1, 3);
  int status = 0;
  const auto [ptr, ec] = std::from_chars(code.data(), code.data() + code.size(), status);
  const std::string_view after =
      statusLine.size() > blank + 4 ? statusLine.substr(blank + 4, 1) : std::string_view();
  if (ec != std::errc{} || ptr != code.data() + code.size() || status < 100 || status > 599 ||
      (!after.empty() && after != " ")) {
    return {};
  }
  bool chunked = false;
  std::optional<size_t> length;
  while (lineEnd != std::string_view::npos) {
    const size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    const std::string_view line = head.substr(start, lineEnd - start);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view name = TrimBlanks(line.substr(0, colon));
    const std::string_view value = TrimBlanks(line.substr(colon + 1));
    if (EqualsIgnoringCase(name, "Transfer-Encoding"))
      chunked = EqualsIgnoringCase(value, "chunked");
    if (EqualsIgnoringCase(name, "Content-Length")) {
      length = Number(value, 10);
      if (!length) return {};
    }
  }
  if (chunked) {
    std::optional<std::string> joined = Unchunked(body);
    if (!joined) return {};
    return {status, std::move(*joined)};
  }
  if (length) {
    if (*length > body.size()) return {};  // cut short
    body = body.substr(0, *length);
  }
  return {status, std::string(body)};
}

}  // namespace tidemoor
