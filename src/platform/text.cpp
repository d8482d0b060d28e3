#include "platform/text.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace tidemoor {
namespace {

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

// An ill-formed sequence becomes one U+FFFD for its longest start that could still have become a
// character (the lead and the continuation bytes that fit it), so the byte that broke it begins
// the next character. Overlong forms, encoded surrogates and values above U+10FFFF are ill-formed:
// their second byte already falls outside the range the lead allows, which keeps a hidden NUL or
// "/" from slipping through.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  char32_t cp = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0xFFFD;  // a stray continuation byte, or a lead no character starts with
  }
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size()) return 0xFFFD;
    const auto byte = static_cast<unsigned char>(text[i]);
    if (k == 0 ? byte < low || byte > high : !IsContinuation(byte)) return 0xFFFD;
    cp = (cp << 6) | (byte & 0x3F);
    ++i;
  }
  return cp;
}

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t cp = DecodeUtf8(utf8, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string FullWidthToAscii(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    const char32_t cp = DecodeUtf8(text, i);
    if (cp >= 0xFF01 && cp <= 0xFF5E) {
      out += static_cast<char>(cp - 0xFF01 + 0x21);
    } else if (cp == 0x3000) {
      out += ' ';
    } else {
      out.append(text.substr(start, i - start));
    }
  }
  return out;
}

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    if (DecodeUtf8(text, i) == 0xFFFD && text.substr(start, i - start) != "\xEF\xBF\xBD") {
      return false;
    }
  }
  return true;
}

namespace {

// Characters that show nothing, or look like a blank, yet make two names differ: a name padded
// with them passes for another player's in a list or a question.
bool IsInvisible(char32_t cp) {
  return (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x2060 && cp <= 0x2064) || cp == 0xFEFF ||
         cp == 0x115F || cp == 0x1160 || cp == 0x3164 || cp == 0xFFA0 ||
         (cp >= 0xE0000 && cp <= 0xE007F) || (cp >= 0xFFF9 && cp <= 0xFFFB);
}

bool ReordersOrBreaks(char32_t cp) {
  return (cp >= 0x80 && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029 ||
         (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069) || cp == 0x061C;
}

// The shown form of one character: its escape, or its own bytes.
std::string ShownCharacter(char32_t cp, std::string_view bytes) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  const auto hexByte = [&](unsigned char byte) {
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  };
  if (cp == 0xFFFD && bytes != "\xEF\xBF\xBD") {
    for (const char byte : bytes) hexByte(static_cast<unsigned char>(byte));
  } else if (cp == '\\') {
    out = "\\\\";
  } else if (cp == '\n') {
    out = "\\n";
  } else if (cp == '\r') {
    out = "\\r";
  } else if (cp == '\t') {
    out = "\\t";
  } else if (cp < 0x20 || cp == 0x7F) {
    hexByte(static_cast<unsigned char>(cp));
  } else if (ReordersOrBreaks(cp) || IsInvisible(cp)) {
    char escaped[16];
    std::snprintf(escaped, sizeof escaped, "\\u{%04X}", static_cast<unsigned>(cp));
    out = escaped;
  } else {
    out = bytes;
  }
  return out;
}

size_t CharacterCount(std::string_view utf8) {
  size_t count = 0;
  for (size_t i = 0; i < utf8.size(); ++count) DecodeUtf8(utf8, i);
  return count;
}

}  // namespace

std::string EscapeControlCharacters(std::string_view text, size_t maxCharacters) {
  std::string out;
  out.reserve(text.size());
  size_t shown = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    const char32_t cp = DecodeUtf8(text, i);
    const std::string piece = ShownCharacter(cp, text.substr(start, i - start));
    // An escape is never cut in two: half of one would read as something else.
    const size_t length = CharacterCount(piece);
    if (shown + length > maxCharacters) {
      out += "\xE2\x80\xA6";
      break;
    }
    shown += length;
    out += piece;
  }
  return out;
}

int32_t TextToNumber(std::string_view text) {
  const std::string ascii = FullWidthToAscii(text);
  size_t i = 0;
  while (i < ascii.size() && (ascii[i] == ' ' || ascii[i] == '\t')) ++i;
  bool negative = false;
  if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) negative = ascii[i++] == '-';
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9'; ++i) {
    value = value * 10 + (ascii[i] - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<int32_t>(-value);
  return static_cast<int32_t>(
      value > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : value);
}

std::string_view GbkPrefix(std::string_view gbk, size_t maxBytes) {
  size_t end = 0;
  while (end < gbk.size()) {
    const auto byte = static_cast<unsigned char>(gbk[end]);
    const size_t length = byte >= 0x81 && byte <= 0xFE && end + 1 < gbk.size() ? 2 : 1;
    if (end + length > maxBytes) break;
    end += length;
  }
  return gbk.substr(0, end);
}

std::vector<std::string_view> TabFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

std::vector<std::string_view> TextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    if (newline == std::string_view::npos) break;
    text.remove_prefix(newline + 1);
  }
  return lines;
}

std::string JoinTexts(const std::vector<std::string>& pieces, std::string_view separator) {
  std::string out;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) out += separator;
    out += pieces[i];
  }
  return out;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty()) return text;
  for (size_t pos = text.find(from); pos != std::string::npos;
       pos = text.find(from, pos + to.size())) {
    text.replace(pos, from.size(), to);
  }
  return text;
}

std::string_view TrimBlanks(std::string_view text, std::string_view blanks) {
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

size_t FindIgnoringCase(std::string_view text, std::string_view what) {
  for (size_t i = 0; i + what.size() <= text.size(); ++i) {
    if (EqualsIgnoringCase(text.substr(i, what.size()), what)) return i;
  }
  return std::string_view::npos;
}

std::string UrlEncode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
        (byte >= '0' && byte <= '9') || c == '-' || c == '_' || c == '.' || c == '~') {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 15];
    }
  }
  return encoded;
}

namespace {
constexpr char kBase64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}  // namespace

std::string Base64(std::string_view bytes) {
  const char* kDigits = kBase64Digits;
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t left = bytes.size() - i;
    uint32_t group = static_cast<uint8_t>(bytes[i]) << 16;
    if (left > 1) group |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (left > 2) group |= static_cast<uint8_t>(bytes[i + 2]);
    out += kDigits[(group >> 18) & 63];
    out += kDigits[(group >> 12) & 63];
    out += left > 1 ? kDigits[(group >> 6) & 63] : '=';
    out += left > 2 ? kDigits[group & 63] : '=';
  }
  return out;
}

std::optional<std::string> FromBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (size_t i = 0; i < text.size(); i += 4) {
    uint32_t group = 0;
    int padding = 0;
    for (size_t k = 0; k < 4; ++k) {
      const char c = text[i + k];
      const bool last = i + 4 == text.size();
      if (c == '=' && last && k >= 2 && (k == 3 || text[i + 3] == '=')) {
        ++padding;
        group <<= 6;
        continue;
      }
      const char* digit = c == '\0' || padding ? nullptr : std::strchr(kBase64Digits, c);
      if (!digit) return std::nullopt;
      group = group << 6 | static_cast<uint32_t>(digit - kBase64Digits);
    }
    out += static_cast<char>(group >> 16);
    if (padding < 2) out += static_cast<char>(group >> 8 & 0xff);
    if (padding < 1) out += static_cast<char>(group & 0xff);
  }
  return out;
}

}  // namespace tidemoor
