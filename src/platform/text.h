#pragma once
// Portable text helpers. Every text in memory is UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Full-width forms U+FF01..U+FF5E become ASCII 0x21..0x7E and the ideographic blank U+3000 a
// blank; everything else is kept.
std::string FullWidthToAscii(std::string_view text);

// The number a user typed into an edit box: full-width forms taken as ASCII, leading blanks
// skipped, an optional sign, then decimal digits. No digits gives 0. Saturates at the int range.
int32_t TextToNumber(std::string_view text);

// The longest start of a GBK text that fits in the bytes and never ends inside a double-byte
// character (a lead byte 0x81..0xFE and the byte after it).
std::string_view GbkPrefix(std::string_view gbk, size_t maxBytes);

// The character at text[i], i moved past it; U+FFFD for bytes that are not well-formed UTF-8
// (i then moved past as few of them as possible).
char32_t DecodeUtf8(std::string_view text, size_t& i);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsUtf8(std::string_view text);

// The text with every character that could break a line, reorder it or hide in it shown as an
// escape: C0 and C1 controls and DEL as \n, \r, \t or \xNN; line and paragraph separators, the
// bidirectional controls, zero-width and other invisible characters (Hangul fillers, tag
// characters, interlinear annotation marks) as \u{XXXX}; a byte that is not part of UTF-8 as \xNN;
// a backslash as \\, so an escape can never be typed in as plain text. A text longer than
// maxCharacters (counted as shown) is cut there, never inside an escape, and ends in "…".
// Text from strangers (player names, messages) is shown and logged through this.
std::string EscapeControlCharacters(std::string_view text, size_t maxCharacters = SIZE_MAX);

std::string JoinTexts(const std::vector<std::string>& pieces, std::string_view separator = ",");
// The fields of a line of a tab-separated file, empty ones included (one field for no tab).
std::vector<std::string_view> TabFields(std::string_view line);
// The lines of a text without their CR LF or LF; no line after a last line break.
std::vector<std::string_view> TextLines(std::string_view text);

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

// The text without the given characters at either end (blanks and tabs unless told otherwise).
std::string_view TrimBlanks(std::string_view text, std::string_view blanks = " \t");

// ASCII letters compared without regard to case, as Windows compares file, key and option names;
// every other byte must be equal.
char LowerAscii(char c);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
size_t FindIgnoringCase(std::string_view text, std::string_view what);  // npos when absent

// Every byte but letters, digits and "-_.~" as %XX: a value in a web address's query.
std::string UrlEncode(std::string_view text);

// Standard Base64 with padding.
std::string Base64(std::string_view bytes);
// The bytes of standard padded Base64; nothing for any other text.
std::optional<std::string> FromBase64(std::string_view text);

}  // namespace tidemoor
