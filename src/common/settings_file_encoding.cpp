#include "common/settings_file_encoding.h"

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit < 0xDC00;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit < 0xE000;
}

// Only surrogates in pairs stand for characters; a lone one would come back as U+FFFD and the
// file would change under the user's feet.
bool SurrogatesPaired(std::u16string_view units) {
  for (size_t i = 0; i < units.size(); ++i) {
    if (IsHighSurrogate(units[i]) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      ++i;
    } else if (IsHighSurrogate(units[i]) || IsLowSurrogate(units[i])) {
      return false;
    }
  }
  return true;
}

std::optional<std::string> Utf16Text(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
  }
  if (!SurrogatesPaired(units)) return std::nullopt;
  return Utf16ToUtf8(units);
}

std::optional<DecodedSettingsFile> Decoded(std::optional<std::string> text,
                                           SettingsFileEncoding encoding) {
  if (!text || !IsUtf8(*text) || text->find('\0') != std::string::npos) return std::nullopt;
  return DecodedSettingsFile{std::move(*text), encoding};
}

}  // namespace

std::optional<DecodedSettingsFile> DecodeSettingsFile(std::string_view bytes) {
  using E = SettingsFileEncoding;
  if (bytes.starts_with(kUtf8Bom)) {
    return Decoded(std::string(bytes.substr(kUtf8Bom.size())), E::Utf8WithBom);
  }
  if (bytes.starts_with(kUtf16LeBom)) return Decoded(Utf16Text(bytes.substr(2), false), E::Utf16Le);
  if (bytes.starts_with(kUtf16BeBom)) return Decoded(Utf16Text(bytes.substr(2), true), E::Utf16Be);
  return Decoded(std::string(bytes), E::Utf8);
}

std::string EncodeSettingsFile(std::string_view text, SettingsFileEncoding encoding) {
  switch (encoding) {
    case SettingsFileEncoding::Utf8:
      return std::string(text);
    case SettingsFileEncoding::Utf8WithBom:
      return std::string(kUtf8Bom) + std::string(text);
    case SettingsFileEncoding::Utf16Le:
    case SettingsFileEncoding::Utf16Be:
      break;
  }
  const bool bigEndian = encoding == SettingsFileEncoding::Utf16Be;
  std::string bytes(bigEndian ? kUtf16BeBom : kUtf16LeBom);
  for (const char16_t unit : Utf8ToUtf16(text)) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

}  // namespace tidemoor
