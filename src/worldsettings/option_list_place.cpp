#include "worldsettings/option_list_place.h"

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr std::string_view kListMarker = "OptionSettings=(";
constexpr std::string_view kSectionLine = "[/Script/Pal.PalGameWorldSettings]";
constexpr auto npos = std::string_view::npos;

std::string_view LineEndOf(std::string_view text) {
  if (text.find("\r\n") != npos) return "\r\n";
  return text.find('\n') != npos ? "\n" : "\r\n";
}

// The position of the line end (or the text's end) at or after the position.
size_t EndOfLine(std::string_view text, size_t from) {
  const size_t end = text.find_first_of("\r\n", from);
  return end == npos ? text.size() : end;
}

// The position just past the line end that ends the line at the position; the text's end when
// that line is its last.
size_t StartOfNextLine(std::string_view text, size_t from) {
  size_t end = EndOfLine(text, from);
  if (end < text.size() && text[end] == '\r') ++end;
  if (end < text.size() && text[end] == '\n') ++end;
  return end;
}

bool EndsLine(std::string_view text) {
  return text.empty() || text.back() == '\n' || text.back() == '\r';
}

}  // namespace

FileAroundOptionList SplitAroundOptionList(std::string_view fileText) {
  const size_t marker = FindIgnoringCase(fileText, kListMarker);
  if (marker == npos) return {std::string(fileText), {}, {}};
  const size_t firstClose = fileText.find(')', marker + kListMarker.size());
  const size_t end = EndOfLine(fileText, firstClose == npos ? marker : firstClose);
  return {std::string(fileText.substr(0, marker)),
          std::string(fileText.substr(marker, end - marker)), std::string(fileText.substr(end))};
}

std::string WithOptionListLine(std::string_view fileText, std::string_view listLine) {
  const std::string lineEnd(LineEndOf(fileText));
  const std::string section = std::string(kSectionLine) + lineEnd;
  FileAroundOptionList parts = SplitAroundOptionList(fileText);
  if (!parts.list.empty()) {
    if (FindIgnoringCase(parts.before, kSectionLine) == npos) {
      const size_t lineStart = parts.before.find_last_of("\r\n");
      parts.before.insert(lineStart == std::string::npos ? 0 : lineStart + 1, section);
    }
    return parts.before + std::string(listLine) + parts.after;
  }
  const size_t sectionAt = FindIgnoringCase(fileText, kSectionLine);
  if (sectionAt == npos) {
    std::string text(fileText);
    if (!EndsLine(text)) text += lineEnd;
    return text + section + std::string(listLine);
  }
  const size_t next = StartOfNextLine(fileText, sectionAt);
  std::string before(fileText.substr(0, next));
  if (!EndsLine(before)) before += lineEnd;
  const std::string_view after = fileText.substr(next);
  return before + std::string(listLine) + (after.empty() ? "" : lineEnd) + std::string(after);
}

}  // namespace tidemoor
