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

void SetApproval(std::string_view bytes) {
  ::RegSetKeyValueW(HKEY_CURRENT_USER, Widen(kStartupApprovedKey).c_str(), L"Tidemoor", REG_BINARY,
                    bytes.data(), static_cast<DWORD>(bytes.size()));
}

// The user's entry and Task Manager's record of it as they were, given back as the test ends.
class KeptEntry {
 public:
  KeptEntry()
      : run_(ReadUserText(kRunKey, kLogonEntryName)),
        approval_(ReadUserBytes(kStartupApprovedKey, kLogonEntryName)) {}
  ~KeptEntry() {
    DeleteUserValue(kRunKey, kLogonEntryName);
    DeleteUserValue(kStartupApprovedKey, kLogonEntryName);
    if (run_) WriteUserText(kRunKey, kLogonEntryName, *run_);
    if (approval_) SetApproval(*approval_);
  }
  KeptEntry(const KeptEntry&) = delete;
  KeptEntry& operator=(const KeptEntry&) = delete;

 private:
  std::optional<std::string> run_;
  std::optional<std::string> approval_;
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

TEST(StartWithWindowsRegistry, EntryIsWrittenAndRemovedExactly) {
  const KeptEntry kept;
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
