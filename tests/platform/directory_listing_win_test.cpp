#include "platform/directory_listing_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using ::testing::UnorderedElementsAre;

class DirectoryListing : public ::testing::Test {
 protected:
  void MakeDirectory(const std::string& relative) {
    ASSERT_TRUE(::CreateDirectoryW(Widen(root.File(relative)).c_str(), nullptr)) << relative;
  }
  testing::TempToolDirectory root{"listing"};
};

TEST_F(DirectoryListing, AnEmptyOrMissingDirectoryGivesNothing) {
  std::vector<std::string> output = {"kept"};
  EXPECT_EQ(ListDirectories(root.Path(), output), 0);
  EXPECT_EQ(ListDirectories(root.File("missing"), output, false, true), 0);
  EXPECT_EQ(output, std::vector<std::string>{"kept"});
  EXPECT_FALSE(HasSubdirectories(root.Path()));
}

TEST_F(DirectoryListing, ListsDirectoriesButNotFiles) {
  MakeDirectory("a");
  MakeDirectory("存档");
  root.WriteBytes("c.txt", "file");

  std::vector<std::string> names;
  EXPECT_EQ(ListDirectories(root.Path() + "\\", names, false), 2);
  EXPECT_THAT(names, UnorderedElementsAre("a", "存档"));

  std::vector<std::string> paths;
  EXPECT_EQ(ListDirectories(root.Path(), paths), 2);
  EXPECT_THAT(paths, UnorderedElementsAre(root.File("a"), root.File("存档")));
  EXPECT_TRUE(HasSubdirectories(root.Path()));
  EXPECT_FALSE(HasSubdirectories(root.File("a")));
}

TEST_F(DirectoryListing, HiddenAndSystemDirectoriesAreListedLikeAnyOther) {
  MakeDirectory("hidden");
  ::SetFileAttributesW(Widen(root.File("hidden")).c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
  std::vector<std::string> names;
  EXPECT_EQ(ListDirectories(root.Path(), names, false), 1);
  EXPECT_EQ(names, std::vector<std::string>{"hidden"});
}

TEST_F(DirectoryListing, RecursiveListsOneLevelBeforeTheNext) {
  MakeDirectory("a");
  MakeDirectory("b");
  MakeDirectory("a\\a1");
  MakeDirectory("a\\a1\\deep");

  std::vector<std::string> paths;
  EXPECT_EQ(ListDirectories(root.Path(), paths, true, true), 4);
  ASSERT_EQ(paths.size(), 4u);
  EXPECT_THAT(std::vector<std::string>(paths.begin(), paths.begin() + 2),
              UnorderedElementsAre(root.File("a"), root.File("b")));
  EXPECT_EQ(paths[2], root.File("a\\a1"));
  EXPECT_EQ(paths[3], root.File("a\\a1\\deep"));

  std::vector<std::string> names;
  EXPECT_EQ(ListDirectories(root.Path(), names, false, true), 4);
  EXPECT_EQ(names[2], "a1");
}

// A listing never runs another handler in its middle: a waiting message stays for the message
// loop, so a listing may run on a worker thread or inside any handler alike.
TEST_F(DirectoryListing, WindowMessagesWaitForTheMessageLoop) {
  MakeDirectory("a");
  const HWND window =
      ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  static bool delivered;
  delivered = false;
  const auto original = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
      window, GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == WM_APP) delivered = true;
        return ::DefWindowProcW(hwnd, message, w, l);
      })));
  ::PostMessageW(window, WM_APP, 0, 0);
  std::vector<std::string> names;
  ListDirectories(root.Path(), names);
  EXPECT_FALSE(delivered);
  MSG message;
  EXPECT_TRUE(::PeekMessageW(&message, window, WM_APP, WM_APP, PM_REMOVE));
  ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  ::DestroyWindow(window);
}

}  // namespace
}  // namespace tidemoor
