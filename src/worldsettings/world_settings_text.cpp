#include "worldsettings/world_settings_text.h"

#include <iterator>
#include <optional>
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

}  // namespace

std::string BracketedList(const std::vector<std::string>& words) {
  std::string list = "(";
  list += JoinTexts(words);
  list += ')';
  return list;
}

namespace {

// The normal form of a list: its words, each without blanks and with the characters that would end
// the pair or the list in their full-width forms, in brackets and separated by commas. An empty
// value stays empty (the server's own file holds "DenyTechnologyList="), so does "()".
std::string ListNormalForm(std::string_view value) {
  std::string content;
  for (char c : value) {
    if (c != '\0') content += c;
  }
  const std::string_view trimmed = TrimBlanks(content, " \t\r\n");
  if (trimmed.empty()) return {};
  std::string_view inner = trimmed;
  if (inner.front() == '(') inner.remove_prefix(1);
  if (!inner.empty() && inner.back() == ')') inner.remove_suffix(1);
  std::vector<std::string> words;
  size_t start = 0;
  for (size_t comma = 0; comma != std::string_view::npos; start = comma + 1) {
    comma = inner.find(',', start);
    const std::string word = BareNormalForm(inner.substr(start, comma - start));
    const std::string_view kept = TrimBlanks(word);
    if (!kept.empty() && kept != kEmptyQuotedText) words.emplace_back(kept);
  }
  return BracketedList(words);
}

bool IsListKey(std::string_view key) {
  const std::optional<SettingEntry> entry = ServerOptionEntry(key);
  return entry && ParseValueKind(entry->Kind) == ValueKind::List;
}

// A value as the server's own file spells it when it is one quoted text with escapes that a
// reader reads back as it is.
bool IsWholeQuotedText(std::string_view value) {
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') return false;
  for (size_t i = 1; i + 1 < value.size(); ++i) {
    const char c = value[i];
    if (c == '"' || c == '\r' || c == '\n' || c == '\0') return false;
    if (c == '\\' && ++i + 1 >= value.size()) return false;
  }
  return true;
}

// Where a row for the key goes: the catalogue's row, a new row for an option of the 1.0 server
// (keeping the file's spelling of the key, as the server wrote it), or -1 for a key the tool does
// not know.
int RowFor(std::string_view key, WorldSettings& settings) {
  const int row = FindSettingRow(settings.Rows, key);
  if (row >= 0) return row;
  std::optional<SettingEntry> entry = ServerOptionEntry(key);
  if (!entry) return -1;
  entry->Key = key;
  settings.Rows.push_back(std::move(*entry));
  return static_cast<int>(settings.Rows.size()) - 1;
}

std::string RowValueFromFile(std::string_view key, std::string value) {
  return IsQuotedKey(key) ? DecodedQuotedValue(value) : std::move(value);
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
    const int row = RowFor(pairs[i].Key, settings);
    if (row < 0) {
      if (others != i) pairs[others] = std::move(pairs[i]);
      lastMention[LowerAsciiText(pairs[others].Key)] = others;
      ++others;
    } else {
      settings.Rows[row].Value =
          RowValueFromFile(settings.Rows[row].Key, std::move(pairs[i].Value));
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

void ApplyServerDefaultsText(std::string_view defaultsText, WorldSettings& settings) {
  std::unordered_map<std::string, bool> named;
  for (const OptionPair& pair : settings.OtherPairs) named[LowerAsciiText(pair.Key)] = true;
  for (OptionPair& pair : ReadOptionList(defaultsText)) {
    if (FindSettingRow(settings.Rows, pair.Key) >= 0) continue;
    std::string lower = LowerAsciiText(pair.Key);
    if (named[lower]) continue;
    const int row = RowFor(pair.Key, settings);
    if (row >= 0) {
      settings.Rows[row].Value = RowValueFromFile(settings.Rows[row].Key, std::move(pair.Value));
    } else {
      named[lower] = true;
      settings.OtherPairs.push_back(std::move(pair));
    }
  }
}

void KeepValuesWrittenAtStart(const WorldSettings& onDisk, WorldSettings& toSave) {
  for (const SettingEntry& row : onDisk.Rows) {
    if (!IsWrittenAtStart(row.Key)) continue;
    const int kept = FindSettingRow(toSave.Rows, row.Key);
    if (kept >= 0) {
      toSave.Rows[kept].Value = row.Value;
    } else {
      toSave.Rows.push_back(row);
    }
  }
}

bool IsQuotedKey(std::string_view key) {
  for (std::string_view quoted : {"ServerDescription", "BanListURL", "Region"}) {
    if (FindIgnoringCase(key, quoted) != std::string_view::npos) return true;
  }
  for (std::string_view quoted :
       {"ServerName", "ServerPassword", "AdminPassword", "PublicIP", "RandomizerSeed",
        "AdditionalDropItemWhenPlayerKillingInPvPMode"}) {
    if (EqualsIgnoringCase(key, quoted)) return true;
  }
  return false;
}

std::string NormalizeRowValue(std::string_view key, std::string_view value) {
  if (IsListKey(key)) return ListNormalForm(value);
  if (!IsQuotedKey(key)) return BareNormalForm(value);
  return '"' + QuotedContent(value) + '"';
}

std::string ValueForFile(std::string_view key, std::string_view value) {
  if (IsListKey(key)) return ListNormalForm(value);
  if (!IsQuotedKey(key)) return BareNormalForm(value);
  return QuotedForFile(QuotedContent(value));
}

std::string OtherValueForFile(std::string_view typed) {
  if (IsWholeQuotedText(typed)) return std::string(typed);
  const std::string_view trimmed = TrimBlanks(typed);
  if (trimmed.size() >= 2 && trimmed.front() == '(' && trimmed.back() == ')') {
    return ListNormalForm(trimmed);
  }
  return BareNormalForm(typed);
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
