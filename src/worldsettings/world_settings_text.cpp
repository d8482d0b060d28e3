#include "worldsettings/world_settings_text.h"

#include <iterator>
#include <unordered_map>

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr std::string_view kListMarker = "OptionSettings=(";
constexpr std::string_view kSectionLine = "[/Script/Pal.PalGameWorldSettings]\r\n";
constexpr std::string_view kEmptyQuotedText = "\"\"";

// A quoted key's content: the value without zero bytes, less one leading and one trailing quote.
std::string QuotedContent(std::string_view value) {
  std::string content;
  for (char c : value) {
    if (c != '\0') content += c;
  }
  if (!content.empty() && content.front() == '"') content.erase(0, 1);
  if (!content.empty() && content.back() == '"') content.pop_back();
  return content;
}

std::string Escaped(std::string_view content) {
  std::string out;
  for (char c : content) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

char Unescaped(char c) {
  switch (c) {
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    default:
      return c;
  }
}

// A quoted key's value as the file holds it, when it is one quoted text: that text with its
// escapes resolved, in quotes. Anything else (such as a description an older save wrote with bare
// quotes inside) stays as it is and is written properly at the next save.
std::string DecodedQuotedValue(const std::string& raw) {
  const size_t first = raw.find_first_not_of(" \t");
  const size_t last = raw.find_last_not_of(" \t");
  if (first == std::string::npos || last == first || raw[first] != '"' || raw[last] != '"') {
    return raw;
  }
  std::string text = "\"";
  for (size_t i = first + 1; i < last; ++i) {
    if (raw[i] == '"' || (raw[i] == '\\' && i + 1 == last)) return raw;
    if (raw[i] != '\\') {
      text += raw[i];
    } else if (std::string_view("\\\"'nrt").find(raw[++i]) != std::string_view::npos) {
      text += Unescaped(raw[i]);
    } else {
      text += '\\';
      text += raw[i];
    }
  }
  return text + '"';
}

std::string BareNormalForm(std::string_view value) {
  if (value == kEmptyQuotedText) return std::string(value);
  std::string out;
  for (char c : value) {
    switch (c) {
      case ',':
        out += "，";
        break;
      case '(':
        out += "（";
        break;
      case ')':
        out += "）";
        break;
      case '"':
        out += "＂";
        break;
      case '\r':
      case '\n':
        out += ' ';
        break;
      case '\0':
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string LowerAsciiText(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

}  // namespace

void ApplyWorldSettingsText(std::string_view fileText, WorldSettings& settings) {
  std::vector<OptionPair> pairs = ReadOptionList(fileText);
  pairs.insert(pairs.begin(), std::make_move_iterator(settings.OtherPairs.begin()),
               std::make_move_iterator(settings.OtherPairs.end()));
  // The other pairs are gathered at the front of the same list: a crafted file of many pairs
  // then costs one list, not several.
  std::unordered_map<std::string, size_t> lastMention;
  size_t others = 0;
  for (size_t i = 0; i < pairs.size(); ++i) {
    const int row = FindSettingRow(settings.Rows, pairs[i].Key);
    if (row < 0) {
      if (others != i) pairs[others] = std::move(pairs[i]);
      lastMention[LowerAsciiText(pairs[others].Key)] = others;
      ++others;
    } else if (IsQuotedKey(settings.Rows[row].Key)) {
      settings.Rows[row].Value = DecodedQuotedValue(pairs[i].Value);
    } else {
      settings.Rows[row].Value = std::move(pairs[i].Value);
    }
  }
  // Keeping each key where the file named it last keeps the pairs in the file's order, so their
  // quotes and brackets read back as they did, whatever an earlier, dropped mention held.
  size_t kept = 0;
  for (size_t i = 0; i < others; ++i) {
    if (lastMention[LowerAsciiText(pairs[i].Key)] != i) continue;
    if (kept != i) pairs[kept] = std::move(pairs[i]);
    ++kept;
  }
  pairs.resize(kept);
  settings.OtherPairs = std::move(pairs);
}

bool IsQuotedKey(std::string_view key) {
  for (std::string_view quoted : {"ServerDescription", "BanListURL", "Region"}) {
    if (FindIgnoringCase(key, quoted) != std::string_view::npos) return true;
  }
  return false;
}

std::string NormalizeRowValue(std::string_view key, std::string_view value) {
  if (!IsQuotedKey(key)) return BareNormalForm(value);
  return '"' + QuotedContent(value) + '"';
}

std::string ValueForFile(std::string_view key, std::string_view value) {
  if (!IsQuotedKey(key)) return BareNormalForm(value);
  return QuotedForFile(QuotedContent(value));
}

std::string QuotedForFile(std::string_view content) {
  return '"' + Escaped(content) + '"';
}

std::string WorldSettingsFileText(const WorldSettings& settings) {
  std::vector<std::string> pairs;
  pairs.reserve(settings.Rows.size() + settings.OtherPairs.size());
  for (const SettingEntry& row : settings.Rows) {
    pairs.push_back(row.Key + "=" + ValueForFile(row.Key, row.Value));
  }
  for (const OptionPair& pair : settings.OtherPairs) pairs.push_back(pair.Key + "=" + pair.Value);
  return std::string(kSectionLine) + std::string(kListMarker) + JoinTexts(pairs) + ")";
}

}  // namespace tidemoor
