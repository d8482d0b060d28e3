#include "platform/profile_win.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>

#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

TEST(GbkProfile, WritesGbkBytesAndReadsThemBack) {
  testing::TempToolDirectory dir("profile");
  const std::string file = dir.File("settings.ini");
  ASSERT_TRUE(WriteProfileText(file, "主程序设置", "Title", "中文　【标题】"));
  const std::string bytes = dir.ReadBytes("settings.ini");
  EXPECT_NE(bytes.find(Utf8ToGbk("[主程序设置]")), std::string::npos);
  EXPECT_NE(bytes.find("\xD6\xD0\xCE\xC4\xA1\xA1"), std::string::npos) << "中文 and U+3000 in GBK";
  EXPECT_EQ(ReadProfileText(file, "主程序设置", "Title", "x"), "中文　【标题】");
  EXPECT_EQ(ReadProfileText(file, "主程序设置", "Missing", "默认"), "默认");
}

TEST(GbkProfile, LongValuesComeBackCutAt10239Bytes) {
  testing::TempToolDirectory dir("long");
  const std::string file = dir.File("long.ini");
  WriteProfileText(file, "S", "K", std::string(12000, 'a'));
  EXPECT_EQ(ReadProfileText(file, "S", "K", "").size(), 10239u);
}

TEST(GbkProfile, LongChineseValuesAreCutBetweenCharacters) {
  testing::TempToolDirectory dir("longcn");
  const std::string file = dir.File("long.ini");
  std::string value;
  for (int i = 0; i < 5200; ++i) value += "中";
  ASSERT_TRUE(WriteProfileText(file, "S", "K", value));
  const std::string read = ReadProfileText(file, "S", "K", "");
  EXPECT_EQ(Utf8ToGbk(read).size(), 10238u);
  EXPECT_EQ(read, value.substr(0, 5119 * std::string("中").size()));
}

// A settings file the tool cannot read or replace stays exactly as the user left it.
TEST(GbkProfile, FilesThatCannotBeReadOrReplacedAreLeftAlone) {
  testing::TempToolDirectory dir("locked");
  const std::string file = dir.File("f.ini");
  const std::string original = Utf8ToGbk("[主程序设置]\r\nWindow_Title=我的服务器\r\n");
  dir.WriteBytes("f.ini", original);
  {
    UniqueFileHandle lock(::CreateFileW(Widen(file).c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_FALSE(WriteProfileText(file, "主程序设置", "Window_Title", "新"));
    EXPECT_EQ(ReadProfileText(file, "主程序设置", "Window_Title", "默认"), "默认");
  }
  EXPECT_EQ(dir.ReadBytes("f.ini"), original);

  ASSERT_TRUE(::SetFileAttributesW(Widen(file).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(WriteProfileText(file, "主程序设置", "Window_Title", "新"));
  ::SetFileAttributesW(Widen(file).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(dir.ReadBytes("f.ini"), original);
  EXPECT_FALSE(dir.Exists("f.ini.saving"));

  EXPECT_FALSE(WriteProfileText(dir.File("missing\\f.ini"), "S", "K", "v"));
  EXPECT_FALSE(dir.Exists("missing"));
}

// The layout a settings file gets from a series of writes, byte for byte: the tool and users
// who open the file in an editor both rely on it.
TEST(GbkProfileLayout, FreshFileAndLaterWritesKeepTheirPlaces) {
  testing::TempToolDirectory dir("layout");
  const std::string file = dir.File("PaLWorld_Tools.ini");
  ASSERT_TRUE(WriteProfileText(file, "服务端运行控制", "Hide_ServerConsole", "1"));
  EXPECT_EQ(dir.ReadBytes("PaLWorld_Tools.ini"),
            Utf8ToGbk("[服务端运行控制]\r\nHide_ServerConsole=1\r\n"));

  // A second section follows the first directly, without a blank line.
  ASSERT_TRUE(WriteProfileText(file, "主程序设置", "Window_Title", "我的服务器"));
  // A new key goes after the last key of its own section, not at the end of the file.
  ASSERT_TRUE(WriteProfileText(file, "服务端运行控制", "Crash_Autorun", "0"));
  // An existing key keeps its line.
  ASSERT_TRUE(WriteProfileText(file, "服务端运行控制", "Hide_ServerConsole", "0"));
  ASSERT_TRUE(WriteProfileText(file, "主程序设置", "Window_Title", "新标题"));
  EXPECT_EQ(dir.ReadBytes("PaLWorld_Tools.ini"),
            Utf8ToGbk("[服务端运行控制]\r\nHide_ServerConsole=0\r\nCrash_Autorun=0\r\n"
                      "[主程序设置]\r\nWindow_Title=新标题\r\n"));
}

TEST(GbkProfileLayout, HandEditedFileKeepsItsSpellingAndComments) {
  testing::TempToolDirectory dir("edited");
  const std::string file = dir.File("f.ini");
  dir.WriteBytes("f.ini",
                 "; made by hand\r\n[Main]\r\n; the title\r\n  TITLE  =  old  \r\n"
                 "[Other]\r\nx=y\r\n");
  ASSERT_TRUE(WriteProfileText(file, "MAIN", "title", "new"));
  EXPECT_EQ(dir.ReadBytes("f.ini"),
            "; made by hand\r\n[Main]\r\n; the title\r\nTITLE=new\r\n[Other]\r\nx=y\r\n");

  // Blank lines and the file's own line ends stay as they were.
  dir.WriteBytes("f.ini", "[Main]\ntitle=old\n\n[Other]\nx=y\n");
  ASSERT_TRUE(WriteProfileText(file, "Main", "Title", "new"));
  ASSERT_TRUE(WriteProfileText(file, "Main", "Added", "1"));
  EXPECT_EQ(dir.ReadBytes("f.ini"), "[Main]\ntitle=new\nAdded=1\r\n\n[Other]\nx=y\n");

  // Only the first of two sections with one name counts, for reading and for writing.
  dir.WriteBytes("f.ini", "[A]\r\nk=1\r\n[A]\r\nz=2\r\n");
  EXPECT_EQ(ReadProfileText(file, "A", "z", "none"), "none");
  ASSERT_TRUE(WriteProfileText(file, "A", "z", "3"));
  EXPECT_EQ(dir.ReadBytes("f.ini"), "[A]\r\nk=1\r\nz=3\r\n[A]\r\nz=2\r\n");
}

// A file hand-edited in a UTF-8 editor, or cut off in the middle of a character, holds lines that
// are not GBK: writing one key must leave every other line's bytes as they were.
TEST(GbkProfileLayout, AWriteLeavesEveryOtherLineByteForByteWhateverItHolds) {
  testing::TempToolDirectory dir("bytes");
  const std::string file = dir.File("f.ini");
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> anyByte(1, 255);
  const auto randomLine = [&] {
    std::string bytes;
    for (int n = random() % 24; n > 0; --n) {
      const char byte = static_cast<char>(anyByte(random));
      if (byte != '\r' && byte != '\n') bytes += byte;
    }
    return bytes;
  };
  const std::string values[] = {"1", "我的服务器", "a=b", "中文　【标题】", ""};
  for (int round = 0; round < 200; ++round) {
    std::string above = Utf8ToGbk("[服务端运行控制]\r\n");
    // Appended piece by piece: GCC 12 warns, wrongly, of a literal put before a temporary.
    for (int i = 0; i < 4; ++i) {
      above += 'V';
      above += std::to_string(i) + '=' + randomLine() + "\r\n";
    }
    std::string below(";");
    below += randomLine() + "\r\nW=" + randomLine() + "\r\n";
    below += Utf8ToGbk("[主程序设置]\r\nX=") + randomLine() + "\r\n";
    dir.WriteBytes("f.ini", above + Utf8ToGbk("Window_Title=旧\r\n") + below);
    const std::string value = values[round % std::size(values)];
    ASSERT_TRUE(WriteProfileText(file, "服务端运行控制", "Window_Title", value));

    ASSERT_EQ(dir.ReadBytes("f.ini"), above + Utf8ToGbk("Window_Title=" + value + "\r\n") + below)
        << "round " << round;
    EXPECT_EQ(ReadProfileText(file, "服务端运行控制", "Window_Title", "-"), value);
  }
}

TEST(GbkProfileLayout, ReadsTrimBlanksIgnoreCaseAndDropMatchingQuotes) {
  testing::TempToolDirectory dir("reads");
  const std::string file = dir.File("f.ini");
  dir.WriteBytes("f.ini", Utf8ToGbk("[Launch]\r\n\tName\t=  \"中 文\"  \r\nSingle='x'\r\n"
                                    "Mixed=\"x'\r\nLone=\"\r\nEmpty=\"\"\r\nBare\r\n"
                                    "Blank=\r\n"));
  EXPECT_EQ(ReadProfileText(file, "launch", "NAME", "d"), "中 文");
  EXPECT_EQ(ReadProfileText(file, " Launch ", " Name ", "d"), "中 文");
  EXPECT_EQ(ReadProfileText(file, "Launch", "Single", "d"), "x");
  EXPECT_EQ(ReadProfileText(file, "Launch", "Mixed", "d"), "\"x'");
  EXPECT_EQ(ReadProfileText(file, "Launch", "Lone", "d"), "\"");
  EXPECT_EQ(ReadProfileText(file, "Launch", "Empty", "d"), "");
  EXPECT_EQ(ReadProfileText(file, "Launch", "Blank", "d"), "");
  EXPECT_EQ(ReadProfileText(file, "Launch", "Bare", "d"), "d") << "a line without = is no key";
  EXPECT_EQ(ReadProfileText(file, "Launch", "Missing", "默认  "), "默认");
  EXPECT_EQ(ReadProfileText(file, "Missing", "Name", "默认"), "默认");
  EXPECT_EQ(ReadProfileText(dir.File("absent.ini"), "Launch", "Name", "默认"), "默认");
}

TEST(CodePages, ConversionsRoundTrip) {
  for (const char* text : {"中", "　", "！～ＡＺａｚ０９", "D:\\服务器"}) {
    EXPECT_EQ(GbkToUtf8(Utf8ToGbk(text)), text);
    EXPECT_EQ(Narrow(Widen(text)), text);
  }
  EXPECT_EQ(Utf8ToGbk("中"), "\xD6\xD0");
  EXPECT_EQ(Utf8ToGbk("　"), "\xA1\xA1");
  EXPECT_EQ(Utf8ToGbk("！"), "\xA3\xA1");
  EXPECT_EQ(Widen("C:\\A").size(), 4u);
}

}  // namespace
}  // namespace tidemoor
