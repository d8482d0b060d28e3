#include "platform/system_error_win.h"

#include "platform/codepage_win.h"

namespace tidemoor {

SystemError SystemErrorOf(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", length);
  ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
  if (text.empty()) return {code, "错误代码 " + std::to_string(code)};
  return {code, Narrow(text)};
}

SystemError LastSystemError() {
  return SystemErrorOf(::GetLastError());
}

}  // namespace tidemoor
