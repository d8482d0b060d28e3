#include "platform/profile_win.h"

#include <gtest/gtest.h>

#include "platform/codepage_win.h"
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
