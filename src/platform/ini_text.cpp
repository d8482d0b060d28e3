#include "platform/ini_text.h"

#include <algorithm>
#include <optional>

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineBreak = "\r\n";

enum class LineKind { Blank, Comment, Header, Key, Other };

// One line of the text: its content without the line break, and where the next line starts.
struct Line {
  size_t begin = 0;
  size_t end = 0;
  size_t next = 0;
  LineKind kind = LineKind::Blank;
  std::string_view name;   // of a header or key, trimmed
  std::string_view value;  // of a key, trimmed
};

Line ParseLine(std::string_view text, size_t begin) {
  Line line;
  line.begin = begin;
  line.end = std::min(text.find_first_of(kLineBreak, begin), text.size());
  line.next = line.end;
  if (line.next < text.size() && text[line.next] == '\r') ++line.next;
  if (line.next < text.size() && text[line.next] == '\n') ++line.next;

  const std::string_view content = TrimBlanks(text.substr(begin, line.end - begin));
  if (content.empty()) return line;
  if (content.front() == ';') {
    line.kind = LineKind::Comment;
    return line;
  }
  if (content.front() == '[') {
    const size_t close = content.rfind(']');
    if (close != std::string_view::npos) {
      line.kind = LineKind::Header;
      line.name = TrimBlanks(content.substr(1, close - 1));
      return line;
    }
  }
  const size_t equals = content.find('=');
  if (equals == std::string_view::npos) {
    line.kind = LineKind::Other;
    return line;
  }
  line.kind = LineKind::Key;
  line.name = TrimBlanks(content.substr(0, equals));
  line.value = TrimBlanks(content.substr(equals + 1));
  return line;
}

// Where a key is, or would go, in the first section of its name.
struct Place {
  std::optional<Line> key;
  // The section's last line that is neither blank nor a comment (its header when it has none);
  // empty when the section is missing.
  std::optional<Line> lastContent;
};

Place Find(std::string_view text, std::string_view section, std::string_view key) {
  Place place;
  bool inSection = false;
  for (size_t at = 0; at < text.size();) {
    const Line line = ParseLine(text, at);
    at = line.next;
    if (line.kind == LineKind::Header) {
      if (inSection) break;
      inSection = EqualsIgnoringCase(line.name, section);
      if (inSection) place.lastContent = line;
      continue;
    }
    if (!inSection) continue;
    if (line.kind == LineKind::Key || line.kind == LineKind::Other) place.lastContent = line;
    if (line.kind == LineKind::Key && !place.key && EqualsIgnoringCase(line.name, key))
      place.key = line;
  }
  return place;
}

std::string_view WithoutMatchingQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool EndsWithLineBreak(std::string_view text) {
  return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

}  // namespace

std::string ReadIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view fallback) {
  const Place place = Find(text, TrimBlanks(section), TrimBlanks(key));
  if (place.key) return std::string(WithoutMatchingQuotes(place.key->value));
  const size_t last = fallback.find_last_not_of(kBlanks);
  return std::string(fallback.substr(0, last == std::string_view::npos ? 0 : last + 1));
}

std::string WriteIniValue(std::string_view text, std::string_view section, std::string_view key,
                          std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  value = value.substr(0, value.find_first_of(kLineBreak));
  const Place place = Find(text, section, key);

  std::string out;
  out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
  if (place.key) {
    out.append(text.substr(0, place.key->begin));
    out.append(place.key->name).append("=").append(value);
    out.append(text.substr(place.key->end));
    return out;
  }
  if (place.lastContent) {
    const size_t after = place.lastContent->next;
    out.append(text.substr(0, after));
    if (!EndsWithLineBreak(out)) out.append(kLineBreak);
    out.append(key).append("=").append(value).append(kLineBreak);
    out.append(text.substr(after));
    return out;
  }
  out.append(text);
  if (!out.empty() && !EndsWithLineBreak(out)) out.append(kLineBreak);
  out.append("[").append(section).append("]").append(kLineBreak);
  out.append(key).append("=").append(value).append(kLineBreak);
  return out;
}

}  // namespace tidemoor
