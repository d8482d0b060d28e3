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

// One U+FFFD stands for each maximal ill-formed subpart: the lead and the continuation bytes
// that still fit it. The byte that breaks a sequence starts over.
TEST(Utf8ToUtf16, ReplacesEachIllFormedSubpartOnce) {
  const struct {
    const char* bytes;
    std::u16string_view expected;
  } cases[] = {
      // truncated sequences, at the end and before other text
      {"\xC3", u"\uFFFD"},
      {"\xE4\xB8", u"\uFFFD"},
      {"\xF0\x9D\x84", u"\uFFFD"},
      {"a\xE4\xB8"
       "b",
       u"a\uFFFDb"},
      {"\xE4\xB8\xE4\xB8\xAD", u"\uFFFD\u4E2D"},
      {"\xF0\x9D\xE4\xB8\xAD", u"\uFFFD\u4E2D"},
      // stray continuation bytes
      {"\x80", u"\uFFFD"},
      {"\xBF\x80", u"\uFFFD\uFFFD"},
      {"\xE4\xB8\xAD\xAD", u"\u4E2D\uFFFD"},
      // overlong forms: C0 80 must never become a NUL inside the text
      {"\xC0\x80", u"\uFFFD\uFFFD"},
      {"\xC1\xBF", u"\uFFFD\uFFFD"},
      {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"\xE0\x9F\xBF", u"\uFFFD\uFFFD\uFFFD"},
      {"\xF0\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      // encoded surrogates and values above U+10FFFF
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"\xED\xBF\xBF", u"\uFFFD\uFFFD\uFFFD"},
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      // leads no character starts with
      {"\xF5\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xFE\xFF", u"\uFFFD\uFFFD"},
      // a mix, as Unicode's own example lays it out
      {"a\xF1\x80\x80\xE1\x80\xC2"
       "b\x80"
       "c\x80\xBF"
       "d",
       u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.bytes), c.expected) << ::testing::PrintToString(std::string(c.bytes));
  }
  // Ill-formed bytes are kept as they were when only full-width forms are replaced.
  EXPECT_EQ(FullWidthToAscii("\xC0\x80\xEF\xBC\x81\xE4\xB8"), "\xC0\x80!\xE4\xB8");
}

TEST(Utf16ToUtf8, LoneSurrogatesBecomeReplacements) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(Utf16ToUtf8(u"\xD800"), replacement);
  EXPECT_EQ(Utf16ToUtf8(u"\xDC00"
                        u"a"),
            replacement + "a");
  EXPECT_EQ(Utf16ToUtf8(u"a\xDBFF"), "a" + replacement);
  EXPECT_EQ(Utf16ToUtf8(u"\xD800\xD800\xDC00"), replacement + "\xF0\x90\x80\x80");
  EXPECT_EQ(Utf16ToUtf8(u"\xDC00\xD800"), replacement + replacement);  // the wrong order
}

TEST(TextConversions, EncodingLengthBoundariesRoundTrip) {
  const struct {
    const char* utf8;
    std::u16string_view utf16;
  } cases[] = {
      {"\x7F", u"\x7F"},
      {"\xC2\x80", u"\x80"},
      {"\xDF\xBF", u"\x7FF"},
      {"\xE0\xA0\x80", u"\x800"},
      {"\xED\x9F\xBF", u"\xD7FF"},
      {"\xEE\x80\x80", u"\xE000"},
      {"\xEF\xBF\xBF", u"\xFFFF"},
      {"\xF0\x90\x80\x80", u"\xD800\xDC00"},
      {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << ::testing::PrintToString(std::string(c.utf8));
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << ::testing::PrintToString(std::string(c.utf8));
  }
}

TEST(TextHelpers, JoinAndReplace) {
  EXPECT_EQ(JoinTexts({"a", "b", "c"}), "a,b,c");
  EXPECT_EQ(JoinTexts({"a", "b"}, " "), "a b");
  EXPECT_EQ(JoinTexts({}), "");
  EXPECT_EQ(ReplaceAll("[[x]]", "[", "【"), "【【x]]");
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
}

TEST(TextHelpers, Utf8IsCheckedStrictly) {
  EXPECT_TRUE(IsUtf8(""));
  EXPECT_TRUE(IsUtf8("小明 😀 \xEF\xBF\xBD"));  // U+FFFD itself is a character
  for (const char* bad :
       {"\xFF", "a\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE4\xB8", "\x80"}) {
    EXPECT_FALSE(IsUtf8(bad)) << ::testing::PrintToString(std::string(bad));
  }
}

// A name must not pass for another one: controls and what shows nothing are made visible, a typed
// "\n" cannot pose as an escaped line break, and a long name is cut before it buries what follows.
TEST(TextHelpers, ControlCharactersAreShownEscapedAndEverythingElseKept) {
  const std::string sixtyFour(64, 'a');
  struct Case {
    std::string text;
    size_t max;
    std::string shown;
  };
  const Case cases[] = {
      {"小明 Ann 😀 \"x\"", SIZE_MAX, "小明 Ann 😀 \"x\""},
      {"a\r\nb\tc", SIZE_MAX, "a\\r\\nb\\tc"},
      {std::string("a\0b\x1B\x7F", 5), SIZE_MAX, "a\\x00b\\x1B\\x7F"},
      // C1 controls, line separators and the marks that reorder a line.
      {"\xC2\x85|\xE2\x80\xA8|\xE2\x80\xAE|\xE2\x81\xA6|\xE2\x80\x8F", SIZE_MAX,
       "\\u{0085}|\\u{2028}|\\u{202E}|\\u{2066}|\\u{200F}"},
      // Bytes that are not UTF-8 are shown as bytes, one escape each, and the rest survives.
      {"a\xFF\xE4\xB8"
       "b",
       SIZE_MAX, "a\\xFF\\xE4\\xB8b"},
      {"\xEF\xBF\xBD", SIZE_MAX, "\xEF\xBF\xBD"},
      {"a\\nb", SIZE_MAX, "a\\\\nb"},
      {"A\u200BB\u200DC\u2060D\u2064E\uFEFF", SIZE_MAX,
       "A\\u{200B}B\\u{200D}C\\u{2060}D\\u{2064}E\\u{FEFF}"},
      {"\u115F\u1160\u3164\uFFA0", SIZE_MAX, "\\u{115F}\\u{1160}\\u{3164}\\u{FFA0}"},
      {"x\U000E0001\U000E007F\uFFF9\uFFFB", SIZE_MAX, "x\\u{E0001}\\u{E007F}\\u{FFF9}\\u{FFFB}"},
      // Their neighbours are ordinary characters.
      {"\u200A\u2065\uFEFE\uFFFC\U000E0080", SIZE_MAX, "\u200A\u2065\uFEFE\uFFFC\U000E0080"},
      {sixtyFour, 64, sixtyFour},
      {sixtyFour + "b", 64, sixtyFour + "…"},
      {std::string(70, '\xE5'), 64,
       "\\xE5\\xE5\\xE5\\xE5\\xE5\\xE5\\xE5\\xE5\\xE5\\xE5\\xE5\\xE5\\xE5\\xE5\\xE5\\xE5…"},
      {std::string(62, 'a') + "\n", 64, std::string(62, 'a') + "\\n"},
      {std::string(63, 'a') + "\nb", 64, std::string(63, 'a') + "…"},
      {"小明😀", 2, "小明…"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeControlCharacters(c.text, c.max), c.shown) << ::testing::PrintToString(c.text);
  }
}

// Sealed secrets travel as Base64: every length comes back whole, and text that is not padded
// Base64 is refused rather than read as something else.
TEST(Text, Base64ComesBackAndAnythingElseIsRefused) {
  for (const std::string bytes : {"", "a", "ab", "abc", "abcd", "\xFF\x00\x80 密"}) {
    EXPECT_EQ(FromBase64(Base64(bytes)), bytes);
  }
  for (const char* text : {"YQ", "YQ=", "Y===", "YQ=a", "YQ==YQ==", "Y Q=", "1/MTA=/abc+def=="}) {
    EXPECT_EQ(FromBase64(text), std::nullopt) << text;
  }
}

}  // namespace
}  // namespace tidemoor
