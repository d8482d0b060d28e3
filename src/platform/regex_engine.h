#pragma once
// One compiled regular expression, whichever engine runs it. Texts are UTF-8 and positions are
// byte offsets into the UTF-8 subject.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

struct RegexOptions {
  bool caseSensitive = false;
  bool multiLine = true;  // ^ and $ also match at line breaks
  bool global = true;     // every match rather than the first only
};

struct RegexGroup {
  std::string text;
  size_t position = 0;
};

struct RegexMatch {
  RegexGroup whole;
  std::vector<RegexGroup> groups;  // captured groups in pattern order; empty text when unused
};

class RegexEngine {
 public:
  virtual ~RegexEngine() = default;
  // nullopt when the pattern is invalid or the engine fails on this subject.
  virtual std::optional<std::vector<RegexMatch>> Execute(std::string_view subject) = 0;
};

// Our own engine (ECMAScript syntax, including \uXXXX escapes), for systems where the VBScript
// component is not installed. An invalid pattern gives an engine whose every call fails.
std::unique_ptr<RegexEngine> MakeFallbackRegex(std::string_view pattern,
                                               const RegexOptions& options);

}  // namespace tidemoor
