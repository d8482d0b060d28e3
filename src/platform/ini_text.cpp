#include "platform/ini_text.h"

#include <algorithm>
#include <optional>

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineBreak = "\r\n";

enum class LineKind { Blank, Comment, Header, Key, Other };

std::string ToUtf8(IniEncoding encoding, std::string_view bytes) {
  return encoding.toUtf8 ? encoding.toUtf8(bytes) : std::string(bytes);
}

std::string FromUtf8(IniEncoding encoding, std::string_view utf8) {
  return encoding.fromUtf8 ? encoding.fromUtf8(utf8) : std::string(utf8);
}

// One line of the file: where its content ends without the line break, and where the next line
// starts.
struct Line {
  size_t begin = 0;
  size_t end = 0;
  size_t next = 0;
  LineKind kind = LineKind::Blank;
  std::string name;        // of a header or key, trimmed, in UTF-8
  std::string_view key;    // of a key, trimmed, as the bytes in the file
  std::string_view value;  // of a key, trimmed, as the bytes in the file
};

Line ParseLine(std::string_view text, size_t begin, IniEncoding encoding) {
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
    // The second byte of a double-byte character may look like "]": the bracket is looked for
    // among the characters.
    const std::string header = ToUtf8(encoding, content);
    const size_t close = header.rfind(']');
    if (close != std::string::npos) {
      line.kind = LineKind::Header;
      line.name = TrimBlanks(std::string_view(header).substr(1, close - 1));
      return line;
    }
  }
  const size_t equals = content.find('=');
  if (equals == std::string_view::npos) {
    line.kind = LineKind::Other;
    return line;
  }
  line.kind = LineKind::Key;
  line.key = TrimBlanks(content.substr(0, equals));
  line.name = ToUtf8(encoding, line.key);
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

Place Find(std::string_view text, std::string_view section, std::string_view key,
           IniEncoding encoding) {
  Place place;
  bool inSection = false;
  for (size_t at = 0; at < text.size();) {
    Line line = ParseLine(text, at, encoding);
    at = line.next;
    if (line.kind == LineKind::Header) {
      if (inSection) break;
      inSection = EqualsIgnoringCase(line.name, section);
      if (inSection) place.lastContent = std::move(line);
      continue;
    }
    if (!inSection) continue;
    if (line.kind == LineKind::Key && !place.key && EqualsIgnoringCase(line.name, key))
      place.key = line;
    if (line.kind == LineKind::Key || line.kind == LineKind::Other)
      place.lastContent = std::move(line);
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

std::string ReadIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                         std::string_view fallback, IniEncoding encoding) {
  const Place place = Find(bytes, TrimBlanks(section), TrimBlanks(key), encoding);
  if (place.key) return std::string(WithoutMatchingQuotes(ToUtf8(encoding, place.key->value)));
  const size_t last = fallback.find_last_not_of(kBlanks);
  return std::string(fallback.substr(0, last == std::string_view::npos ? 0 : last + 1));
}

std::string WriteIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                          std::string_view value, IniEncoding encoding) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  const std::string written = FromUtf8(encoding, value.substr(0, value.find_first_of(kLineBreak)));
  const Place place = Find(bytes, section, key, encoding);

  std::string out;
  out.reserve(bytes.size() + section.size() + key.size() + written.size() + 8);
  if (place.key) {
    out.append(bytes.substr(0, place.key->begin));
    out.append(place.key->key).append("=").append(written);
    out.append(bytes.substr(place.key->end));
    return out;
  }
  if (place.lastContent) {
    const size_t after = place.lastContent->next;
    out.append(bytes.substr(0, after));
    if (!EndsWithLineBreak(out)) out.append(kLineBreak);
    out.append(FromUtf8(encoding, key)).append("=").append(written).append(kLineBreak);
    out.append(bytes.substr(after));
    return out;
  }
  out.append(bytes);
  if (!out.empty() && !EndsWithLineBreak(out)) out.append(kLineBreak);
  out.append("[").append(FromUtf8(encoding, section)).append("]").append(kLineBreak);
  out.append(FromUtf8(encoding, key)).append("=").append(written).append(kLineBreak);
  return out;
}

}  // namespace tidemoor
