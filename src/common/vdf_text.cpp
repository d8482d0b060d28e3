#include "common/vdf_text.h"

#include <charconv>

#include "platform/text.h"

namespace tidemoor {
namespace {

// Real manifests and app infos nest a handful of levels; a limit keeps hostile input from
// exhausting the stack.
constexpr int kMaxDepth = 32;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class VdfParser {
 public:
  explicit VdfParser(std::string_view text) : text_(text) {}

  std::optional<VdfBlock> Document() {
    VdfBlock root;
    if (!Entries(root.entries, 0, false)) return std::nullopt;
    return root;
  }

  std::optional<VdfBlock> FirstEntry() {
    VdfBlock root;
    if (!Entry(root.entries, 0)) return std::nullopt;
    return root;
  }

 private:
  enum class Token { End, Open, Close, Text, Bad };

  void SkipBlanksAndComments() {
    while (at_ < text_.size()) {
      if (IsBlank(text_[at_])) {
        ++at_;
      } else if (text_.substr(at_, 2) == "//") {
        while (at_ < text_.size() && text_[at_] != '\n') ++at_;
      } else {
        return;
      }
    }
  }

  Token Next(std::string& text) {
    SkipBlanksAndComments();
    // A platform condition such as [$WIN32] after a value says nothing this tool reads.
    while (at_ < text_.size() && text_[at_] == '[') {
      const size_t end = text_.find(']', at_);
      if (end == std::string_view::npos) return Token::Bad;
      at_ = end + 1;
      SkipBlanksAndComments();
    }
    if (at_ >= text_.size()) return Token::End;
    const char c = text_[at_];
    if (c == '{' || c == '}') {
      ++at_;
      return c == '{' ? Token::Open : Token::Close;
    }
    text.clear();
    if (c == '"') return Quoted(text);
    while (at_ < text_.size() && !IsBlank(text_[at_]) && text_[at_] != '{' && text_[at_] != '}' &&
           text_[at_] != '"') {
      text.push_back(text_[at_++]);
    }
    return Token::Text;
  }

  Token Quoted(std::string& text) {
    ++at_;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return Token::Text;
      if (c != '\\' || at_ >= text_.size()) {
        text.push_back(c);
        continue;
      }
      const char escaped = text_[at_++];
      text.push_back(escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped);
    }
    return Token::Bad;  // the closing quote never came
  }

  bool Entries(std::vector<VdfBlock::Entry>& entries, int depth, bool nested) {
    if (depth > kMaxDepth) return false;
    std::string key;
    for (;;) {
      const Token token = Next(key);
      if (token == Token::End) return !nested;
      if (token == Token::Close) return nested;
      if (token != Token::Text || !Value(std::move(key), entries, depth)) return false;
    }
  }

  bool Entry(std::vector<VdfBlock::Entry>& entries, int depth) {
    std::string key;
    return Next(key) == Token::Text && Value(std::move(key), entries, depth);
  }

  bool Value(std::string key, std::vector<VdfBlock::Entry>& entries, int depth) {
    VdfBlock::Entry entry;
    entry.key = std::move(key);
    const Token value = Next(entry.value);
    if (value == Token::Open) {
      entry.isBlock = true;
      if (!Entries(entry.block, depth + 1, true)) return false;
    } else if (value != Token::Text) {
      return false;
    }
    entries.push_back(std::move(entry));
    return true;
  }

  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace

std::optional<uint64_t> VdfNumber(const std::optional<std::string>& text) {
  if (!text || text->empty()) return std::nullopt;
  uint64_t value = 0;
  const char* end = text->data() + text->size();
  const auto [ptr, ec] = std::from_chars(text->data(), end, value);
  if (ec != std::errc{} || ptr != end) return std::nullopt;
  return value;
}

std::optional<VdfBlock> ReadVdf(std::string_view text) {
  return VdfParser(text).Document();
}

std::optional<std::string> VdfValue(const VdfBlock& root,
                                    const std::vector<std::string_view>& path) {
  const std::vector<VdfBlock::Entry>* entries = &root.entries;
  for (size_t i = 0; i < path.size(); ++i) {
    const VdfBlock::Entry* found = nullptr;
    for (const VdfBlock::Entry& entry : *entries) {
      if (EqualsIgnoringCase(entry.key, path[i])) {
        found = &entry;
        break;
      }
    }
    if (!found) return std::nullopt;
    const bool last = i + 1 == path.size();
    if (found->isBlock == last) return std::nullopt;
    if (last) return found->value;
    entries = &found->block;
  }
  return std::nullopt;
}

std::optional<VdfBlock> ReadFirstVdfEntry(std::string_view text) {
  return VdfParser(text).FirstEntry();
}

}  // namespace tidemoor
