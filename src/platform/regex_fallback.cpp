#include <regex>

#include "platform/regex_engine.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

// std::wregex works on wchar_t, which is UTF-16 on Windows and UTF-32 elsewhere.
std::wstring ToWide(std::string_view utf8) {
  const std::u16string utf16 = Utf8ToUtf16(utf8);
  std::wstring wide;
  wide.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t unit = utf16[i];
    if constexpr (sizeof(wchar_t) == 4) {
      if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < utf16.size()) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (utf16[++i] - 0xDC00);
      }
    }
    wide += static_cast<wchar_t>(unit);
  }
  return wide;
}

std::string ToUtf8(std::wstring_view wide) {
  std::u16string utf16;
  utf16.reserve(wide.size());
  for (const wchar_t c : wide) {
    const auto unit = static_cast<char32_t>(c);
    if (unit >= 0x10000) {
      utf16 += static_cast<char16_t>(0xD800 + ((unit - 0x10000) >> 10));
      utf16 += static_cast<char16_t>(0xDC00 + ((unit - 0x10000) & 0x3FF));
    } else {
      utf16 += static_cast<char16_t>(unit);
    }
  }
  return Utf16ToUtf8(utf16);
}

class FallbackRegex : public RegexEngine {
 public:
  FallbackRegex(std::string_view pattern, const RegexOptions& options) : global_(options.global) {
    auto flags = std::regex::ECMAScript;
    if (!options.caseSensitive) flags |= std::regex::icase;
    if (options.multiLine) flags |= std::regex::multiline;
    try {
      regex_.emplace(ToWide(pattern), flags);
    } catch (const std::regex_error&) {
      regex_.reset();
    }
  }

  std::optional<std::vector<RegexMatch>> Execute(std::string_view subject) override {
    if (!regex_) return std::nullopt;
    const std::wstring wide = ToWide(subject);
    std::vector<RegexMatch> matches;
    try {
      for (auto it = std::wsregex_iterator(wide.begin(), wide.end(), *regex_);
           it != std::wsregex_iterator(); ++it) {
        matches.push_back(ToMatch(wide, *it));
        if (!global_) break;
      }
    } catch (const std::regex_error&) {  // too complex for this subject
      return std::nullopt;
    }
    return matches;
  }

 private:
  static RegexGroup ToGroup(const std::wstring& subject, const std::wssub_match& sub,
                            size_t fallbackPosition) {
    if (!sub.matched) return {"", fallbackPosition};
    const auto offset = static_cast<size_t>(sub.first - subject.begin());
    return {ToUtf8(sub.str()), ToUtf8(std::wstring_view(subject).substr(0, offset)).size()};
  }

  static RegexMatch ToMatch(const std::wstring& subject, const std::wsmatch& m) {
    RegexMatch match;
    match.whole = ToGroup(subject, m[0], 0);
    for (size_t i = 1; i < m.size(); ++i) {
      match.groups.push_back(ToGroup(subject, m[i], match.whole.position));
    }
    return match;
  }

  std::optional<std::wregex> regex_;
  bool global_;
};

}  // namespace

std::unique_ptr<RegexEngine> MakeFallbackRegex(std::string_view pattern,
                                               const RegexOptions& options) {
  return std::make_unique<FallbackRegex>(pattern, options);
}

}  // namespace tidemoor
