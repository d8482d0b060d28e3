#pragma once
// The tool's Prompt without message boxes: it records what it was asked and answers as told.

#include <functional>
#include <string>
#include <vector>

#include "platform/prompt.h"

namespace tidemoor::testing {

class FakePrompt : public Prompt {
 public:
  struct Asked {
    std::string text;
    std::string title;
    PromptStyle style;
  };

  PromptAnswer Ask(std::string_view text, std::string_view title, PromptStyle style) override {
    asked.push_back({std::string(text), std::string(title), style});
    if (onAsk) onAsk(asked.back());
    const bool question = style == PromptStyle::WarningQuestion || style == PromptStyle::Question;
    if (!question) return PromptAnswer::Ok;
    return answerYes ? PromptAnswer::Yes : PromptAnswer::No;
  }

  std::vector<Asked> asked;
  bool answerYes = true;                    // the answer to questions
  std::function<void(const Asked&)> onAsk;  // runs while the box would be open
};

}  // namespace tidemoor::testing
