#include "platform/directories_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

bool IsDirectory(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(EnsureDirectory, CreatesEveryMissingAncestor) {
  testing::TempToolDirectory dir("ensure");
  const std::string deep = dir.File("A\\B 空格\\C\\");
  EXPECT_TRUE(EnsureDirectory(deep));
  EXPECT_TRUE(IsDirectory(dir.File("A")));
  EXPECT_TRUE(IsDirectory(dir.File("A\\B 空格")));
  EXPECT_TRUE(IsDirectory(dir.File("A\\B 空格\\C")));

  EXPECT_TRUE(EnsureDirectory(deep)) << "an existing directory is fine";
  EXPECT_TRUE(EnsureDirectory(dir.File("A\\B 空格\\C"))) << "without the trailing backslash too";
}

TEST(EnsureDirectory, ShortPathsCreateNothing) {
  EXPECT_FALSE(EnsureDirectory(""));
  EXPECT_FALSE(EnsureDirectory("Q"));  // relative, one character: never created
  EXPECT_FALSE(IsDirectory("Q"));
  EXPECT_TRUE(EnsureDirectory("C:")) << "two characters: only the directory test";
}

TEST(EnsureDirectory, FileInTheWayIsReportedAsFalse) {
  testing::TempToolDirectory dir("blocked");
  dir.WriteBytes("taken", "x");
  EXPECT_FALSE(EnsureDirectory(dir.File("taken\\below")));
}

TEST(ToolDirectory, IsTheExecutablesFolderWithoutTrailingBackslash) {
  const std::string tool = ToolDirectory();
  EXPECT_EQ(tool, testing::BinDirectory());
  EXPECT_NE(tool.back(), '\\');
}

}  // namespace
}  // namespace tidemoor
