#include "platform/version_info_win.h"

#include <gtest/gtest.h>

#include "support/e2e_win.h"

namespace tidemoor {
namespace {

std::string Fixture(std::string_view exeName) {
  return testing::BinDirectory() + "\\fixtures\\" + std::string(exeName);
}

TEST(ReadVersionInfo, FixedFileVersionForKindsFourAndEleven) {
  EXPECT_EQ(ReadVersionInfo(Fixture("PalServer.exe"), 4), "0.1.5.0");
  EXPECT_EQ(ReadVersionInfo(Fixture("PalServer.exe"), 11), "0.1.5.0");
}

TEST(ReadVersionInfo, OtherKindsReadAsComments) {
  for (int kind : {0, 1, 13, -1}) {
    EXPECT_EQ(ReadVersionInfo(Fixture("PalServer.exe"), kind), "Test launcher") << kind;
  }
  EXPECT_EQ(ReadVersionInfo(Fixture("PalServer.exe"), 10), "PalServer");
  EXPECT_EQ(ReadVersionInfo(Fixture("PalServer.exe"), 2), "");  // no CompanyName
}

TEST(ReadVersionInfo, FindsStringsInEveryLanguageOrder) {
  // Chinese first, US English next (the launcher's own), then the file's own language.
  EXPECT_EQ(ReadVersionInfo(testing::BinDirectory() + "\\Tidemoor.exe", 3), "Tidemoor");
  EXPECT_EQ(ReadVersionInfo(Fixture("PalServer-Win64-Test-Cmd.exe"), 1), "Japanese resource");
  EXPECT_EQ(ReadVersionInfo(Fixture("PalServer-Win64-Test-Cmd.exe"), 2), "Tidemoor tests");
  EXPECT_EQ(ReadVersionInfo(Fixture("PalServer-Win64-Test-Cmd.exe"), 4), "1.2.3.4");
}

TEST(ReadVersionInfo, MissingFileOrResourceGivesEmpty) {
  EXPECT_EQ(ReadVersionInfo(Fixture("missing.exe"), 4), "");
  const std::string withoutResource = testing::BinDirectory() + "\\platform_win_tests.exe";
  EXPECT_EQ(ReadVersionInfo(withoutResource, 4), "");
  EXPECT_EQ(ReadVersionInfo(withoutResource, 1), "");
}

}  // namespace
}  // namespace tidemoor
