#include "platform/prompt_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/dispatcher_win.h"
#include "support/e2e_win.h"
#include "support/pumping_wait_win.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;

struct SeenBox {
  std::string text;
  bool toolTookInput = false;  // one of the tool's windows was enabled meanwhile
  int open = 0;                // boxes of the tool open at that moment
};

int OpenBoxes() {
  int open = 0;
  for (HWND box = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box;
       box = ::FindWindowExW(nullptr, box, L"#32770", nullptr)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(box, &owner);
    if (owner == ::GetCurrentProcessId() && ::IsWindowVisible(box)) ++open;
  }
  return open;
}

// Plays the user on a thread of its own: answers the tool's boxes as they come (Yes where one
// asks, OK otherwise). Before it answers the box "first", what is to happen inside it runs on the
// window's thread, as a timer's tick or a result would.
void PlayUser(size_t boxes, const std::vector<HWND>& windows, const std::function<void()>& inside,
              std::vector<SeenBox>& seen, std::atomic<int>& answered) {
  for (size_t i = 0; i < boxes; ++i) {
    const std::optional<testing::SeenMessageBox> box =
        testing::WaitForMessageBox(::GetCurrentProcessId(), 20s);
    if (!box) return;
    bool enabled = false;
    for (const HWND window : windows) enabled = enabled || ::IsWindowEnabled(window);
    seen.push_back({box->text, enabled, OpenBoxes()});
    if (box->text == "first" && inside) {
      auto ran = std::make_shared<std::atomic<bool>>(false);
      HandBack([inside, ran] {
        inside();
        *ran = true;
      });
      for (int wait = 0; wait < 500 && !*ran; ++wait) ::Sleep(10);
    }
    ++answered;
    testing::AnswerMessageBox(*box, ::GetDlgItem(box->window, IDYES) ? IDYES : IDOK);
  }
}

std::string Said(std::string_view who, PromptAnswer answer) {
  const char* words[] = {"Ok", "Yes", "No"};
  return std::string(who) + " " + words[static_cast<int>(answer)];
}

HWND MakeToolWindow(const wchar_t* title) {
  return ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                           nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

// Only one box is ever open: a message asked while one is open (by a timer, a result coming
// back) waits its turn and its caller goes on at once; a question asked in turn opens from the
// message loop once no box is open; every other window of the tool takes no input meanwhile.
TEST(WindowsPrompt, OneBoxAtATimeInTheOrderAsked) {
  const std::vector<HWND> windows = {MakeToolWindow(L"main"), MakeToolWindow(L"backups")};
  WindowsPrompt prompt([&] { return windows[0]; });
  PrepareDispatcher();  // the user's thread hands back to this one
  std::atomic<int> answered = 0;
  using Told = std::vector<std::string>;
  struct Case {
    const char* name;
    std::function<void(Told& told)> ask;     // on the window's thread
    std::function<void(Told& told)> inside;  // on the window's thread, while "first" is open
    std::vector<std::string> shown;          // the boxes' texts, in the order they opened
    Told told;                               // what the askers were answered, in order
  };
  const auto first = [&](Told& told) {
    told.push_back(Said("first", prompt.Ask("first", " Info", PromptStyle::Information)));
  };
  const auto second = [&](Told& told) {
    told.push_back(Said("second", prompt.Ask("second", " Error", PromptStyle::Error)));
  };
  const Case cases[] = {
      {"a message waits for the open box",
       first,
       second,
       {"first", "second"},
       {"second Ok", "first Ok"}},
      {"messages waiting keep the order asked",
       first,
       [&](Told& told) {
         second(told);
         told.push_back(Said("third", prompt.Ask("third", " Info", PromptStyle::Plain)));
       },
       {"first", "second", "third"},
       {"second Ok", "third Ok", "first Ok"}},
      {"a question in turn waits for the open box",
       first,
       [&](Told& told) {
         prompt.AskInTurn("second", " Quiz", PromptStyle::Question,
                          [&](PromptAnswer answer) { told.push_back(Said("second", answer)); });
         told.push_back("second asked");
       },
       {"first", "second"},
       {"second asked", "first Ok", "second Yes"}},
      {"a question in turn never opens inside its caller",
       [&](Told& told) {
         prompt.AskInTurn("only", " Quiz", PromptStyle::WarningQuestion,
                          [&](PromptAnswer answer) { told.push_back(Said("only", answer)); });
         told.push_back("returned");
       },
       nullptr,
       {"only"},
       {"returned", "only Yes"}},
      {"a message with no box open shows at once",
       [&](Told& told) {
         const PromptAnswer answer = prompt.Ask("alone", " Info", PromptStyle::Warning);
         told.push_back(Said("alone", answer) + " after " + std::to_string(answered) + " box");
       },
       nullptr,
       {"alone"},
       {"alone Ok after 1 box"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Told told;
    std::vector<SeenBox> seen;
    answered = 0;
    std::atomic<bool> played = false;
    std::thread user([&] {
      PlayUser(c.shown.size(), windows,
               c.inside ? [&] { c.inside(told); } : std::function<void()>(), seen, answered);
      played = true;
    });
    c.ask(told);
    // The user's thread waits for this one to close the boxes it answers.
    EXPECT_TRUE(PumpUntil([&] { return told.size() == c.told.size() && played; }, 60s));
    user.join();
    EXPECT_EQ(told, c.told);
    std::vector<std::string> shown;
    for (const SeenBox& box : seen) {
      shown.push_back(box.text);
      EXPECT_FALSE(box.toolTookInput) << box.text;
      EXPECT_EQ(box.open, 1) << box.text;
    }
    EXPECT_EQ(shown, c.shown);
    for (const HWND window : windows) EXPECT_TRUE(::IsWindowEnabled(window));
  }
  for (const HWND window : windows) ::DestroyWindow(window);
}

}  // namespace
}  // namespace tidemoor
