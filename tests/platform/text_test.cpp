#include "platform/text.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(TextToNumber, ReadsWhatUsersType) {
  EXPECT_EQ(TextToNumber("120"), 120);
  EXPECT_EQ(TextToNumber("１２０"), 120);  // full-width digits
  EXPECT_EQ(TextToNumber("　15分"), 15);   // ideographic blank, trailing text
  EXPECT_EQ(TextToNumber("  -3"), -3);
  EXPECT_EQ(TextToNumber("＋7"), 7);
  EXPECT_EQ(TextToNumber("abc"), 0);
  EXPECT_EQ(TextToNumber(""), 0);
  EXPECT_EQ(TextToNumber("- 3"), 0);
  EXPECT_EQ(TextToNumber("99999999999999"), 2147483647);
  EXPECT_EQ(TextToNumber("-99999999999999"), -2147483647 - 1);
}

TEST(TextConversions, RoundTripChineseAndFullWidth) {
  for (const char* text : {"中", "　", "！～ＡＺａｚ０９", "D:\\服务器\\Host", "𝄞"}) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text) << text;
  }
  EXPECT_EQ(Utf8ToUtf16("中"), std::u16string(1, u'\u4E2D'));
  EXPECT_EQ(Utf8ToUtf16("𝄞").size(), 2u);  // a surrogate pair
  EXPECT_EQ(FullWidthToAscii("！～　Ａ中"), "!~ A中");
}

TEST(TextHelpers, JoinAndReplace) {
  EXPECT_EQ(JoinTexts({"a", "b", "c"}), "a,b,c");
  EXPECT_EQ(JoinTexts({"a", "b"}, " "), "a b");
  EXPECT_EQ(JoinTexts({}), "");
  EXPECT_EQ(ReplaceAll("[[x]]", "[", "【"), "【【x]]");
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
}

}  // namespace
}  // namespace tidemoor
