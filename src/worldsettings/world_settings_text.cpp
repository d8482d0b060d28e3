#include "worldsettings/world_settings_text.h"

#include <algorithm>

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr std::string_view kListMarker = "OptionSettings=(";
constexpr std::string_view kSectionLine = "[/Script/Pal.PalGameWorldSettings]\r\n";
constexpr auto npos = std::string_view::npos;

std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

void AddPair(std::vector<OptionPair>& pairs, std::string_view key, std::string_view value) {
  key = TrimBlanks(key);
  if (!key.empty()) pairs.push_back(OptionPair{std::string(key), std::string(value)});
}

// The ")" that closes the "(" at open, skipping nested lists and quoted texts; npos if none.
size_t EndOfParentheses(std::string_view list, size_t open) {
  int depth = 0;
  bool quoted = false;
  for (size_t i = open; i < list.size(); ++i) {
    const char c = list[i];
    if (quoted) {
      quoted = c != '"';
    } else if (c == '"') {
      quoted = true;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      return i;
    }
  }
  return npos;
}

// The "," or ")" that ends the value starting at start; npos if none. The server writes texts in
// quotes and lists such as CrossplayPlatforms=(Steam,Xbox) in parentheses, and their commas
// belong to the value. A quote ends a quoted value only where a value may end, so a stray quote
// a user typed into a description does not swallow the rest of the list.
size_t EndOfValue(std::string_view list, size_t start) {
  size_t from = start;
  if (start < list.size() && list[start] == '"') {
    for (size_t i = start + 1; i + 1 < list.size(); ++i) {
      if (list[i] == '"' && (list[i + 1] == ',' || list[i + 1] == ')')) return i + 1;
    }
  } else if (start < list.size() && list[start] == '(') {
    const size_t close = EndOfParentheses(list, start);
    if (close != npos) from = close + 1;
  }
  return list.find_first_of(",)", from);
}

// false when the list never ends as quotes and parentheses are read; pairs is then unusable.
bool ScanHonouringQuotes(std::string_view list, std::vector<OptionPair>& pairs) {
  size_t pos = 0;
  for (;;) {
    size_t stop = list.find_first_of("=,)", pos);
    if (stop == npos) return false;
    if (list[stop] == '=') {
      const size_t end = EndOfValue(list, stop + 1);
      if (end == npos) return false;
      AddPair(pairs, list.substr(pos, stop - pos), list.substr(stop + 1, end - stop - 1));
      stop = end;
    }
    if (list[stop] == ')') return true;
    pos = stop + 1;
  }
}

// The plain reading for lists whose quotes or parentheses never close (a value typed with a lone
// "(" and saved bare): the list ends at the first ")" and every comma separates.
std::vector<OptionPair> ScanPlainly(std::string_view list) {
  std::vector<OptionPair> pairs;
  const size_t close = list.find(')');
  if (close == npos) return pairs;
  list = list.substr(0, close);
  while (!list.empty()) {
    const size_t comma = list.find(',');
    const std::string_view piece = list.substr(0, comma);
    const size_t equals = piece.find('=');
    if (equals != npos) AddPair(pairs, piece.substr(0, equals), piece.substr(equals + 1));
    if (comma == npos) break;
    list.remove_prefix(comma + 1);
  }
  return pairs;
}

}  // namespace

std::vector<OptionPair> ReadOptionList(std::string_view fileText) {
  fileText = fileText.substr(0, fileText.find('\0'));
  const size_t marker = FindIgnoringCase(fileText, kListMarker);
  if (marker == npos) return {};
  const std::string_view list = fileText.substr(marker + kListMarker.size());
  std::vector<OptionPair> pairs;
  if (ScanHonouringQuotes(list, pairs)) return pairs;
  return ScanPlainly(list);
}

void ApplyWorldSettingsText(std::string_view fileText, WorldSettings& settings) {
  for (OptionPair& pair : ReadOptionList(fileText)) {
    const int row = FindSettingRow(settings.Rows, pair.Key);
    if (row >= 0) {
      settings.Rows[row].Value = std::move(pair.Value);
      continue;
    }
    auto known =
        std::find_if(settings.OtherPairs.begin(), settings.OtherPairs.end(),
                     [&](const OptionPair& p) { return EqualsIgnoringCase(p.Key, pair.Key); });
    if (known != settings.OtherPairs.end()) {
      known->Value = std::move(pair.Value);
    } else {
      settings.OtherPairs.push_back(std::move(pair));
    }
  }
}

bool IsQuotedKey(std::string_view key) {
  for (std::string_view quoted : {"ServerDescription", "BanListURL", "Region"}) {
    if (FindIgnoringCase(key, quoted) != npos) return true;
  }
  return false;
}

std::string ValueForFile(std::string_view key, std::string_view value) {
  if (!IsQuotedKey(key)) {
    // A bare comma or ")" would end the value, or the whole list, for every reader of the file.
    return ReplaceAll(ReplaceAll(std::string(value), ",", "，"), ")", "）");
  }
  std::string quoted(value);
  if (quoted.empty() || quoted.front() != '"') quoted.insert(quoted.begin(), '"');
  if (quoted.back() != '"') quoted += '"';
  if (std::count(quoted.begin(), quoted.end(), '"') == 1) quoted += '"';
  return quoted;
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
