#include "worldsettings/option_list_reader.h"

#include "platform/text.h"

#include <algorithm>
#include <numeric>

#include "worldsettings/settings_catalogue.h"

namespace tidemoor {
namespace {

constexpr std::string_view kListMarker = "OptionSettings=(";
constexpr auto npos = std::string_view::npos;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// The text after the marker, up to the end of the line holding the first ")", as one line.
std::string ListLine(std::string_view fileText) {
  fileText = fileText.substr(0, fileText.find('\0'));
  const size_t marker = FindIgnoringCase(fileText, kListMarker);
  if (marker == npos) return {};
  std::string_view rest = fileText.substr(marker + kListMarker.size());
  const size_t firstClose = rest.find(')');
  if (firstClose == npos) return {};
  std::string line(rest.substr(0, rest.find_first_of("\r\n", firstClose)));
  std::replace_if(line.begin(), line.end(), IsLineEnd, ' ');
  return line;
}

// The line's structure as one jump per position: from the opening quote of a quoted text to its
// closing quote, and from a "(" to the ")" it pairs with. Every other position jumps to itself,
// so stepping with "i = jump[i] + 1" visits exactly the characters at the list's top level, and
// every scan below is a single pass.
class ListStructure {
 public:
  explicit ListStructure(std::string_view line) : line_(line), jump_(line.size()) {
    std::iota(jump_.begin(), jump_.end(), size_t{0});
    MarkQuotedTexts();
    close_ = LastTopLevelClose();
    if (close_ != npos) PairBrackets();
  }

  // The position of the ")" that ends the list; npos when the list never ends.
  size_t Close() const { return close_; }
  size_t Next(size_t i) const { return jump_[i] + 1; }

 private:
  void MarkQuotedTexts() {
    char before = '(';  // the marker's own bracket
    for (size_t i = 0; i < line_.size(); ++i) {
      const char c = line_[i];
      if (c == '"' && (before == '=' || before == '(' || before == ',')) {
        size_t end = i + 1;
        while (end < line_.size() && line_[end] != '"') end += line_[end] == '\\' ? 2 : 1;
        // No end on the line: every later quote follows a backslash, so none opens a text either.
        if (end >= line_.size()) return;
        jump_[i] = end;
        i = end;
        before = '"';
      } else if (!IsBlank(c)) {
        before = c;
      }
    }
  }

  size_t LastTopLevelClose() const {
    size_t close = npos;
    for (size_t i = 0; i < line_.size(); i = Next(i)) {
      if (line_[i] == ')') close = i;
    }
    return close;
  }

  void PairBrackets() {
    std::vector<size_t> open;
    for (size_t i = 0; i < close_; i = Next(i)) {
      if (line_[i] == '(') {
        open.push_back(i);
      } else if (line_[i] == ')' && !open.empty()) {
        jump_[open.back()] = i;
        open.pop_back();
      }
    }
  }

  std::string_view line_;
  std::vector<size_t> jump_;
  size_t close_ = npos;
};

}  // namespace

std::vector<OptionPair> ReadOptionList(std::string_view fileText) {
  const std::string line = ListLine(fileText);
  const ListStructure structure(line);
  std::vector<OptionPair> pairs;
  if (structure.Close() == npos) return pairs;
  pairs.reserve(std::count(line.begin(), line.begin() + structure.Close(), ',') + 1);

  size_t start = 0;
  size_t equals = npos;
  for (size_t i = 0;; i = structure.Next(i)) {
    const bool listEnds = i == structure.Close();
    if (listEnds || line[i] == ',') {
      if (equals != npos) {
        const std::string_view key =
            TrimBlanks(std::string_view(line).substr(start, equals - start));
        if (!key.empty()) {
          pairs.push_back(OptionPair{std::string(key), line.substr(equals + 1, i - equals - 1)});
        }
      }
      if (listEnds) return pairs;
      start = i + 1;
      equals = npos;
    } else if (line[i] == '=' && equals == npos) {
      equals = i;
    }
  }
}

}  // namespace tidemoor
