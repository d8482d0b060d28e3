#include "platform/registry_win.h"

#include <windows.h>

#include "platform/codepage_win.h"
#include "platform/system_error_win.h"

namespace tidemoor {
namespace {

// The value's bytes as RegGetValueW hands them over; the size is asked first, and asked again
// when the value grew in between.
std::optional<std::string> ReadValue(std::string_view key, std::string_view name, DWORD types) {
  const std::wstring wideKey = Widen(key);
  const std::wstring wideName = Widen(name);
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD size = 0;
    LSTATUS status = ::RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), wideName.c_str(),
                                    types | RRF_NOEXPAND, nullptr, nullptr, &size);
    if (status != ERROR_SUCCESS) return std::nullopt;
    std::string bytes(size, '\0');
    status = ::RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), wideName.c_str(),
                            types | RRF_NOEXPAND, nullptr, bytes.data(), &size);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return std::nullopt;
    bytes.resize(size);
    return bytes;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadUserText(std::string_view key, std::string_view name) {
  const std::optional<std::string> bytes =
      ReadValue(key, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ);
  if (!bytes) return std::nullopt;
  std::wstring text(bytes->size() / sizeof(wchar_t), L'\0');
  bytes->copy(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
  // Stored with its terminating zero (or, when written carelessly, several or none).
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return Narrow(text);
}

std::optional<std::string> ReadUserBytes(std::string_view key, std::string_view name) {
  return ReadValue(key, name, RRF_RT_ANY);
}

Outcome WriteUserText(std::string_view key, std::string_view name, std::string_view text) {
  HKEY opened = nullptr;
  LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, Widen(key).c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE, nullptr, &opened, nullptr);
  if (status != ERROR_SUCCESS) return SystemErrorOf(static_cast<DWORD>(status));
  const std::wstring value = Widen(text);
  status = ::RegSetValueExW(opened, Widen(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(opened);
  if (status != ERROR_SUCCESS) return SystemErrorOf(static_cast<DWORD>(status));
  return {};
}

Outcome DeleteUserValue(std::string_view key, std::string_view name) {
  const LSTATUS status =
      ::RegDeleteKeyValueW(HKEY_CURRENT_USER, Widen(key).c_str(), Widen(name).c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return {};
  return SystemErrorOf(static_cast<DWORD>(status));
}

}  // namespace tidemoor
