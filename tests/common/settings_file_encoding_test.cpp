// The encodings the server's settings files are read in and written back in.

#include "common/settings_file_encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/text.h"

namespace tidemoor {
namespace {

using E = SettingsFileEncoding;

struct DecodeCase {
  const char* what;
  std::string bytes;
  std::optional<E> encoding;  // nullopt: not understood
  std::string text;
};

TEST(SettingsFileEncoding, EachEncodingIsKnownByItsMarkAndBrokenBytesAreRefused) {
  using namespace std::string_literals;
  const std::vector<DecodeCase> cases = {
      {"UTF-8 with its mark", "\xEF\xBB\xBF[S]", E::Utf8WithBom, "[S]"},
      {"empty", "", E::Utf8, ""},
      {"UTF-16 LE", "\xFF\xFE[\0S\0]\0\x2D\x4E"s, E::Utf16Le, "[S]\xE4\xB8\xAD"},
      {"UTF-16 BE", "\xFE\xFF\0[\0S\0]\x4E\x2D"s, E::Utf16Be, "[S]\xE4\xB8\xAD"},
      {"UTF-16 LE, a pair of surrogates", "\xFF\xFE\x3D\xD8\x00\xDE"s, E::Utf16Le,
       "\xF0\x9F\x98\x80"},
      {"GBK, which is not UTF-8", "A=\xD6\xD0\xCE\xC4", std::nullopt, ""},
      {"UTF-8 cut inside a character", "A=\xE4\xB8", std::nullopt, ""},
      {"UTF-8 overlong form", "A=\xC0\xAF", std::nullopt, ""},
      {"UTF-16 of odd length", "\xFF\xFE[\0S"s, std::nullopt, ""},
      {"UTF-16 with a lone high surrogate", "\xFF\xFE\x3D\xD8[\0"s, std::nullopt, ""},
      {"UTF-16 with a lone low surrogate", "\xFE\xFF\xDE\x00"s, std::nullopt, ""},
      {"UTF-16 without its mark", "[\0S\0]\0"s, std::nullopt, ""},
      {"a zero byte in UTF-8", "A=1\0B=2"s, std::nullopt, ""},
      {"a zero character in UTF-16", "\xFF\xFE\0\0"s, std::nullopt, ""},
  };
  for (const DecodeCase& c : cases) {
    const std::optional<DecodedSettingsFile> decoded = DecodeSettingsFile(c.bytes);
    ASSERT_EQ(decoded.has_value(), c.encoding.has_value()) << c.what;
    if (!decoded) continue;
    EXPECT_EQ(decoded->encoding, *c.encoding) << c.what;
    EXPECT_EQ(decoded->text, c.text) << c.what;
  }
}

// Any text of characters, in any encoding, decodes to itself; and what was decoded is encoded
// to the very bytes it came from.
TEST(SettingsFileEncoding, DecodingAndEncodingGiveBackTheSameBytes) {
  std::mt19937 random(20261209);
  // Units from every plane, surrogates only in pairs: any text of characters.
  const auto randomText = [&] {
    std::u16string units;
    for (int i = static_cast<int>(random() % 40); i > 0; --i) {
      const char16_t unit = static_cast<char16_t>(1 + random() % 0xFFFF);
      if (unit >= 0xD800 && unit < 0xE000) {
        units += static_cast<char16_t>(0xD800 + random() % 0x400);
        units += static_cast<char16_t>(0xDC00 + random() % 0x400);
      } else {
        units += unit;
      }
    }
    return Utf16ToUtf8(units);
  };
  for (int round = 0; round < 300; ++round) {
    const std::string text = randomText();
    for (E encoding : {E::Utf8, E::Utf8WithBom, E::Utf16Le, E::Utf16Be}) {
      const std::string bytes = EncodeSettingsFile(text, encoding);
      const std::optional<DecodedSettingsFile> decoded = DecodeSettingsFile(bytes);
      // A text that starts like a mark cannot be told from one when written without it.
      if (encoding == E::Utf8 && text.starts_with("\xEF\xBB\xBF")) continue;
      ASSERT_TRUE(decoded) << round;
      EXPECT_EQ(decoded->text, text) << round;
      EXPECT_EQ(decoded->encoding, encoding) << round;
      EXPECT_EQ(EncodeSettingsFile(decoded->text, decoded->encoding), bytes) << round;
    }
  }
}

}  // namespace
}  // namespace tidemoor
