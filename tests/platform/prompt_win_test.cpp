#include "platform/prompt_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/codepage_win.h"
#include "platform/dispatcher_win.h"
#include "support/pumping_wait_win.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;

// A box as the user saw it: its text, and whether the tool's two windows took input meanwhile.
struct SeenBox {
  std::string text;
  bool mainEnabled = true;
  bool otherEnabled = true;
};

// Plays the user from a thread of its own: answers every box of this process (Yes where it asks,
// OK otherwise) and notes how many were open at once. Before it answers the box "first", what is
// to happen inside it runs on the window's thread, as a timer or a result would. It reads the
// windows without sending them messages that could wait for the test's thread, but for the box's
// text, with a time-out.
class BoxAnswerer {
 public:
  BoxAnswerer(HWND main, HWND other) : main_(main), other_(other), thread_([this] { Run(); }) {}
  ~BoxAnswerer() {
    stop_ = true;
    thread_.join();
  }
  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  std::vector<SeenBox> Seen() const {
    std::lock_guard lock(mutex_);
    return seen_;
  }
  int MostOpenAtOnce() const { return mostOpen_; }
  void Expect(std::function<void()> insideFirst) {
    std::lock_guard lock(mutex_);
    seen_.clear();
    mostOpen_ = 0;
    insideFirst_ = std::move(insideFirst);
  }

 private:
  void Run() {
    std::set<HWND> answered;
    while (!stop_) {
      std::set<HWND> open;
      for (HWND box = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box;
           box = ::FindWindowExW(nullptr, box, L"#32770", nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(box, &owner);
        if (owner == ::GetCurrentProcessId() && ::IsWindowVisible(box)) open.insert(box);
      }
      mostOpen_ = std::max(mostOpen_.load(), static_cast<int>(open.size()));
      std::erase_if(answered, [&](HWND box) { return !open.count(box); });
      for (const HWND box : open) {
        if (answered.count(box)) continue;
        answered.insert(box);
        Answer(box);
      }
      ::Sleep(10);
    }
  }

  void Answer(HWND box) {
    wchar_t text[256] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(::GetDlgItem(box, 0xFFFF), WM_GETTEXT, 256,
                          reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000, &copied);
    std::function<void()> inside;
    {
      std::lock_guard lock(mutex_);
      seen_.push_back(
          {Narrow(text), ::IsWindowEnabled(main_) != FALSE, ::IsWindowEnabled(other_) != FALSE});
      if (seen_.back().text == "first") inside = std::exchange(insideFirst_, nullptr);
    }
    if (inside) {
      auto ran = std::make_shared<std::atomic<bool>>(false);
      HandBack([inside, ran] {
        inside();
        *ran = true;
      });
      for (int wait = 0; wait < 500 && !*ran; ++wait) ::Sleep(10);
    }
    const int button = ::GetDlgItem(box, IDYES) ? IDYES : IDOK;
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, button)));
  }

  const HWND main_;
  const HWND other_;
  mutable std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::function<void()> insideFirst_;
  std::atomic<int> mostOpen_ = 0;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

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
  const HWND main = MakeToolWindow(L"main");
  const HWND other = MakeToolWindow(L"other");
  ASSERT_TRUE(main && other);
  WindowsPrompt prompt([main] { return main; });
  PrepareDispatcher();  // the user's thread hands back to this one
  BoxAnswerer user(main, other);
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
  const Case cases[] = {
      {"a message waits for the open box",
       first,
       [&](Told& told) {
         told.push_back(Said("second", prompt.Ask("second", " Error", PromptStyle::Error)));
       },
       {"first", "second"},
       {"second Ok", "first Ok"}},
      {"messages waiting keep the order asked",
       first,
       [&](Told& told) {
         told.push_back(Said("second", prompt.Ask("second", " Error", PromptStyle::Error)));
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
         told.push_back("returned with " + std::to_string(user.Seen().size()) + " shown");
       },
       nullptr,
       {"only"},
       {"returned with 0 shown", "only Yes"}},
      {"a message with no box open shows at once",
       [&](Told& told) {
         const PromptAnswer answer = prompt.Ask("alone", " Info", PromptStyle::Warning);
         told.push_back(Said("alone", answer) + " with " + std::to_string(user.Seen().size()) +
                        " shown");
       },
       nullptr,
       {"alone"},
       {"alone Ok with 1 shown"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Told told;
    user.Expect(c.inside ? std::function<void()>([&] { c.inside(told); }) : nullptr);
    c.ask(told);
    EXPECT_TRUE(PumpUntil([&] { return told.size() == c.told.size(); }, 30s));
    PumpUntil([] { return false; }, 100ms);
    EXPECT_EQ(told, c.told);
    std::vector<std::string> shown;
    for (const SeenBox& box : user.Seen()) {
      shown.push_back(box.text);
      EXPECT_FALSE(box.mainEnabled) << box.text;
      EXPECT_FALSE(box.otherEnabled) << box.text;
    }
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(user.MostOpenAtOnce(), 1);
    EXPECT_TRUE(::IsWindowEnabled(main));
    EXPECT_TRUE(::IsWindowEnabled(other));
  }
  ::DestroyWindow(other);
  ::DestroyWindow(main);
}

}  // namespace
}  // namespace tidemoor
