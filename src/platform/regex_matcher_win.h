#pragma once
// Runs one regular expression over one subject and keeps the matches for later questions. The
// system's VBScript.RegExp component does the matching; where it is not installed (it is an
// optional feature on newer Windows) our own engine takes over with the same options.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/regex_engine.h"

namespace tidemoor {

class ComScope;

enum class RegexEngineChoice { SystemComponentFirst, FallbackOnly };

class RegexMatcher {
 public:
  // Initializes COM for this thread; the object belongs to the thread that creates it.
  explicit RegexMatcher(RegexEngineChoice choice = RegexEngineChoice::SystemComponentFirst);
  ~RegexMatcher();
  RegexMatcher(const RegexMatcher&) = delete;
  RegexMatcher& operator=(const RegexMatcher&) = delete;

  // With quotePlaceholder every "#引号" in the pattern stands for a double quote, so patterns
  // written inside quoted texts stay readable. Returns whether the execution produced matches
  // to ask about (none found still counts); an invalid pattern gives false and a count of 0.
  bool Execute(std::string_view pattern, std::string_view subject, bool caseSensitive = false,
               bool multiLine = true, bool global = true, bool quotePlaceholder = false);

  int MatchCount() const;
  // The pattern of the last execution, or an empty text before the first one.
  std::string GetPattern() const;
  // The subject of the last execution with its matches replaced.
  std::string Replace(std::string_view replacement) const;
  // Matches and groups count from 1. Positions are byte offsets in the UTF-8 subject; out of
  // range numbers give an empty text and leave *position alone.
  std::string MatchText(int match, size_t* position = nullptr) const;
  std::string SubMatchText(int match, int subMatch, size_t* position = nullptr) const;
  // The number of captured groups of the first match.
  int SubMatchCount() const;

  bool UsesSystemComponent() const { return usesSystemComponent_; }

 private:
  RegexEngineChoice choice_;
  std::unique_ptr<ComScope> com_;
  bool usesSystemComponent_ = false;
  std::unique_ptr<RegexEngine> engine_;
  std::optional<std::vector<RegexMatch>> matches_;
  std::string pattern_;
  std::string subject_;
};

}  // namespace tidemoor
