#include "platform/profile_win.h"

#include <windows.h>

#include <vector>

#include "platform/codepage_win.h"

namespace tidemoor {
namespace {

constexpr DWORD kValueBufferBytes = 10240;

}  // namespace

// The A functions store the bytes they are given; handing them GBK keeps the file GBK on any
// system code page (on a Western one each byte passes through unchanged).
std::string ReadProfileText(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view fallback) {
  std::vector<char> buffer(kValueBufferBytes, '\0');
  const std::string gbkFallback = Utf8ToGbk(fallback);
  const DWORD length = ::GetPrivateProfileStringA(
      Utf8ToGbk(section).c_str(), Utf8ToGbk(key).c_str(), gbkFallback.c_str(), buffer.data(),
      kValueBufferBytes, Utf8ToCodePage(file, CP_ACP).c_str());
  return GbkToUtf8(std::string_view(buffer.data(), length));
}

bool WriteProfileText(std::string_view file, std::string_view section, std::string_view key,
                      std::string_view value) {
  return ::WritePrivateProfileStringA(Utf8ToGbk(section).c_str(), Utf8ToGbk(key).c_str(),
                                      Utf8ToGbk(value).c_str(),
                                      Utf8ToCodePage(file, CP_ACP).c_str()) != FALSE;
}

}  // namespace tidemoor
