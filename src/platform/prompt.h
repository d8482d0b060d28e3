#pragma once
// Every message box of the tool goes through one Prompt: the areas say what to tell or ask and
// in which style, the Windows side shows it, and tests answer it.

#include <functional>
#include <string_view>

namespace tidemoor {

enum class PromptStyle {
  Plain,             // OK, no icon
  Information,       // OK, information icon
  Error,             // OK, error icon
  Warning,           // OK, warning icon: something the user may accept, but should know
  WarningQuestion,   // Yes and No, warning icon
  Question,          // Yes and No, question icon
  QuestionOrCancel,  // Yes, No and Cancel, question icon
  StartUpError,      // OK, error icon, before any window: brought to the foreground, no owner
};

enum class PromptAnswer { Ok, Yes, No, Cancel };

class Prompt {
 public:
  virtual ~Prompt() = default;
  // Shows the text and waits for the answer. Every box is modal to the whole tool, and only one
  // is open at a time: a message (an OK-only style) asked while one is open waits its turn, and
  // Ask then answers Ok at once.
  virtual PromptAnswer Ask(std::string_view text, std::string_view title, PromptStyle style) = 0;

  // For a path that must not wait for the user: on screen the box opens later, from the message
  // loop, once no other box is open, and done gets the answer (done must check that what it acts
  // on is still there). Here, for prompts without boxes, it is asked and answered at once.
  virtual void AskInTurn(std::string_view text, std::string_view title, PromptStyle style,
                         std::function<void(PromptAnswer)> done) {
    done(Ask(text, title, style));
  }

  // A question acts only on Yes; closing the box counts as No.
  bool Confirm(std::string_view text, std::string_view title, PromptStyle style) {
    return Ask(text, title, style) == PromptAnswer::Yes;
  }

  // A message nothing waits for, shown in turn.
  void TellInTurn(std::string_view text, std::string_view title, PromptStyle style) {
    AskInTurn(text, title, style, [](PromptAnswer) {});
  }
};

}  // namespace tidemoor
