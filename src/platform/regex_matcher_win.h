#pragma once
// Runs regular expressions over texts. The system's VBScript.RegExp component does the matching;
// where it is not installed (it is an optional feature on newer Windows) our own engine takes over
// with the same options.

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/regex_engine.h"

namespace tidemoor {

class ComScope;

class RegexMatcher {
 public:
  // Initializes COM for this thread; the object belongs to the thread that creates it.
  RegexMatcher();
  ~RegexMatcher();
  RegexMatcher(const RegexMatcher&) = delete;
  RegexMatcher& operator=(const RegexMatcher&) = delete;

  // Every match of the pattern in the subject (the first only without options.global); nullopt
  // when the pattern is invalid or the matching fails.
  std::optional<std::vector<RegexMatch>> Matches(std::string_view pattern, std::string_view subject,
                                                 const RegexOptions& options = {});

 private:
  std::unique_ptr<ComScope> com_;
};

}  // namespace tidemoor
