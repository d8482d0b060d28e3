// A failed platform call hands back Windows' own reason, read right after the call that failed.

#include "platform/system_error_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "platform/codepage_win.h"
#include "platform/directories_win.h"
#include "platform/process_win.h"
#include "platform/profile_win.h"
#include "platform/unique_handle_win.h"
#include "platform/whole_file_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

TEST(FailedPlatformCalls, SayWhyWithTheSystemsCodeAndWords) {
  testing::TempToolDirectory dir("why");
  dir.WriteBytes("read-only.ini", "[a]\r\n");
  ASSERT_TRUE(
      ::SetFileAttributesW(Widen(dir.File("read-only.ini")).c_str(), FILE_ATTRIBUTE_READONLY));
  dir.WriteBytes("held.ini", "[a]\r\n");
  UniqueFileHandle held(::CreateFileW(Widen(dir.File("held.ini")).c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  dir.WriteBytes("taken", "x");
  struct Case {
    const char* what;
    std::function<Outcome()> call;
    DWORD code;
  };
  const Case cases[] = {
      {"write into a missing folder",
       [&] { return WriteWholeFile(dir.File("nowhere\\file.txt"), "x"); }, ERROR_PATH_NOT_FOUND},
      {"replace of a read-only file",
       [&] { return ReplaceWholeFile(dir.File("read-only.ini"), "x"); }, ERROR_ACCESS_DENIED},
      {"new file where one exists", [&] { return WriteNewWholeFile(dir.File("taken"), "x"); },
       ERROR_ALREADY_EXISTS},
      {"settings write into a file held open",
       [&] { return WriteProfileText(dir.File("held.ini"), "a", "k", "v"); },
       ERROR_SHARING_VIOLATION},
      {"folder below a file", [&] { return EnsureDirectory(dir.File("taken\\below")); },
       ERROR_PATH_NOT_FOUND},
      {"start of a missing program",
       [&]() -> Outcome {
         SystemError failure;
         if (LaunchProcess(dir.File("none.exe"), "\"none.exe\"", false, 6, "", nullptr, &failure) !=
             0) {
           return {};
         }
         return failure;
       },
       ERROR_FILE_NOT_FOUND},
  };
  for (const Case& c : cases) {
    const Outcome outcome = c.call();
    ASSERT_FALSE(outcome) << c.what;
    EXPECT_EQ(outcome.Error().code, c.code) << c.what;
    EXPECT_EQ(outcome.Error().text, SystemErrorOf(c.code).text) << c.what;
    EXPECT_FALSE(outcome.Error().text.empty()) << c.what;
    EXPECT_EQ(outcome.Error().text.find_last_of("\r\n"), std::string::npos) << c.what;
  }
  EXPECT_EQ(SystemErrorOf(0xE0001234).text, "错误代码 3758101044") << "a code without words";
}

}  // namespace
}  // namespace tidemoor
