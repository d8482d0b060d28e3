// The sign-in entry in the real HKEY_CURRENT_USER of the Windows the tests run on; whatever was
// there before is put back.

#include "app/start_with_windows_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/codepage_win.h"
#include "platform/registry_win.h"

namespace tidemoor {
namespace {

// A value as it was, given back as the test ends.
class KeptValue {
 public:
  KeptValue(std::string key, std::string name)
      : key_(std::move(key)), name_(std::move(name)), bytes_(ReadRaw(&type_)) {}
  ~KeptValue() {
    if (!bytes_) {
      DeleteUserValue(key_, name_);
      return;
    }
    ::RegSetKeyValueW(HKEY_CURRENT_USER, Widen(key_).c_str(), Widen(name_).c_str(), type_,
                      bytes_->data(), static_cast<DWORD>(bytes_->size()));
  }
  KeptValue(const KeptValue&) = delete;
  KeptValue& operator=(const KeptValue&) = delete;

 private:
  std::optional<std::string> ReadRaw(DWORD* type) const {
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, Widen(key_).c_str(), Widen(name_).c_str(),
                       RRF_RT_ANY | RRF_NOEXPAND, type, nullptr, &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    std::string bytes(size, '\0');
    ::RegGetValueW(HKEY_CURRENT_USER, Widen(key_).c_str(), Widen(name_).c_str(),
                   RRF_RT_ANY | RRF_NOEXPAND, type, bytes.data(), &size);
    bytes.resize(size);
    return bytes;
  }

  std::string key_;
  std::string name_;
  DWORD type_ = REG_NONE;
  std::optional<std::string> bytes_;
};

// The value's type and bytes exactly as stored, as Windows will read them at sign-in.
std::optional<std::wstring> RawRunValue() {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(kRunKey).c_str(), 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  DWORD type = REG_NONE;
  wchar_t text[1024] = {};
  DWORD size = sizeof text;
  const LSTATUS status =
      ::RegQueryValueExW(key, L"Tidemoor", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  if (type != REG_SZ) return L"<not REG_SZ>";
  return std::wstring(text, size / sizeof(wchar_t));
}

void SetApproval(std::string_view bytes) {
  ::RegSetKeyValueW(HKEY_CURRENT_USER, Widen(kStartupApprovedKey).c_str(), L"Tidemoor", REG_BINARY,
                    bytes.data(), static_cast<DWORD>(bytes.size()));
}

TEST(StartWithWindowsRegistry, EntryIsWrittenAndRemovedExactly) {
  const KeptValue run(kRunKey, kLogonEntryName);
  const KeptValue approval(kStartupApprovedKey, kLogonEntryName);
  constexpr char kThisTool[] = "C:\\开服 & 工具\\Tidemoor.exe";
  const std::wstring written = L"\"C:\\开服 & 工具\\Tidemoor.exe\" --autostart";
  constexpr char kOtherCopy[] = "\"E:\\old\\Tidemoor.exe\" --autostart";
  struct Case {
    const char* name;
    std::optional<std::string> before;
    bool tick;  // ticked, then unticked; otherwise only unticked
    std::optional<std::wstring> afterTick;
    std::optional<std::wstring> afterUntick;
  };
  const Case cases[] = {
      {"none before", std::nullopt, true, written + L'\0', std::nullopt},
      {"another copy's replaced", kOtherCopy, true, written + L'\0', std::nullopt},
      {"another copy's left alone", kOtherCopy, false, std::nullopt, Widen(kOtherCopy) + L'\0'},
  };
  for (const Case& c : cases) {
    DeleteUserValue(kRunKey, kLogonEntryName);
    DeleteUserValue(kStartupApprovedKey, kLogonEntryName);
    if (c.before) {
      ASSERT_TRUE(WriteUserText(kRunKey, kLogonEntryName, *c.before));
    }
    if (c.tick) {
      ASSERT_TRUE(RegisterLogonEntry(kThisTool)) << c.name;
      EXPECT_EQ(RawRunValue(), c.afterTick) << c.name;
      EXPECT_EQ(ReadLogonEntry(kThisTool), LogonEntry::On) << c.name;
      SetApproval(std::string("\x03\0\0\0\0\0\0\0\0\0\0\0", 12));
      EXPECT_EQ(ReadLogonEntry(kThisTool), LogonEntry::DisabledByWindows) << c.name;
    }
    ASSERT_TRUE(RemoveLogonEntry(kThisTool)) << c.name;
    EXPECT_EQ(RawRunValue(), c.afterUntick) << c.name;
    EXPECT_EQ(ReadLogonEntry(kThisTool), LogonEntry::Off) << c.name;
  }
}

}  // namespace
}  // namespace tidemoor
