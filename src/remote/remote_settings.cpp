#include "remote/remote_settings.h"

#include <algorithm>

#include "platform/text.h"

namespace tidemoor {

std::vector<std::string> IdList(std::string_view typed) {
  std::string plain = ReplaceAll(ReplaceAll(std::string(typed), "，", ","), "、", ",");
  for (char& c : plain) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = ',';
  }
  std::vector<std::string> ids;
  for (size_t at = 0; at <= plain.size();) {
    size_t end = plain.find(',', at);
    if (end == std::string::npos) end = plain.size();
    std::string id = plain.substr(at, end - at);
    if (!id.empty() && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    at = end + 1;
  }
  return ids;
}

bool KookApiAllowed(std::string_view address) {
  if (address.substr(0, 8) == "https://") return address.size() > 8;
  constexpr std::string_view kLocal = "http://127.0.0.1";
  if (address.substr(0, kLocal.size()) != kLocal) return false;
  const std::string_view rest = address.substr(kLocal.size());
  return rest.empty() || rest.front() == ':' || rest.front() == '/';
}

std::optional<std::string> KookApiBase(std::string_view typed) {
  std::string_view base = TrimBlanks(typed);
  while (!base.empty() && base.back() == '/') base.remove_suffix(1);
  if (base.empty()) return kKookApiAddress;
  if (!KookApiAllowed(base)) return std::nullopt;
  return std::string(base);
}

}  // namespace tidemoor
