#include "platform/window_win.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/fake_prompt.h"

namespace tidemoor {
namespace {

constexpr UINT kFail = WM_APP;        // the handler throws
constexpr UINT kAnswer = WM_APP + 1;  // the handler answers 7
constexpr int kLabelId = 100;

// A window whose handlers throw when told to, with a clickable label that reports presses.
class FailingWindow : public BaseWindow<FailingWindow> {
 public:
  FailingWindow(UINT failOn, Prompt& prompt) : failOn_(failOn) { errorPrompt_ = &prompt; }
  ~FailingWindow() {
    if (window_) ::DestroyWindow(window_);
  }

  HWND Open() {
    return CreateBaseWindow(L"TidemoorFailingWindow", L"failing", WS_OVERLAPPEDWINDOW, 300, 200,
                            nullptr);
  }
  void FailOn(UINT message) { failOn_ = message; }
  HWND Label() const { return ::GetDlgItem(window_, kLabelId); }
  int Presses() const { return presses_; }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == failOn_) throw std::runtime_error("handler failed");
    switch (message) {
      case WM_CREATE:
        ::CreateWindowExW(0, L"STATIC", L"label", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0, 0, 80, 20,
                          window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabelId)),
                          ::GetModuleHandleW(nullptr), nullptr);
        MakeLabelClickable(Label());
        return 0;
      case WM_COMMAND:
        if (LOWORD(wParam) == kLabelId && HIWORD(wParam) == kLabelLeftPressed) ++presses_;
        return 0;
      case kAnswer:
        return 7;
    }
    return DefaultHandling(message, wParam, lParam);
  }

 private:
  UINT failOn_;
  int presses_ = 0;
};

class UnexpectedError : public ::testing::Test {
 protected:
  // The box is told through the prompt of the window (the top-level one, for a child control).
  void ExpectOneErrorBox() {
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, " 发生意外错误 - 操作未完成 ");
    EXPECT_EQ(messages_[0].title, " Error");
    EXPECT_EQ(messages_[0].style, PromptStyle::Error);
    messages_.clear();
  }

  testing::FakePrompt prompt_;
  std::vector<testing::FakePrompt::Asked>& messages_ = prompt_.asked;
};

TEST_F(UnexpectedError, AFailedHandlerIsReportedAndTheWindowKeepsWorking) {
  FailingWindow window(kFail, prompt_);
  ASSERT_TRUE(window.Open());
  EXPECT_TRUE(messages_.empty());

  // The message gets what the default handling answers.
  EXPECT_EQ(::SendMessageW(window.Handle(), kFail, 0, 0), 0);
  ExpectOneErrorBox();
  EXPECT_EQ(::SendMessageW(window.Handle(), kAnswer, 0, 0), 7);

  // A failure while the label's press travels to the window: the box is told through the window,
  // and the next press arrives as before.
  window.FailOn(WM_COMMAND);
  ::SendMessageW(window.Label(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  ExpectOneErrorBox();
  EXPECT_EQ(window.Presses(), 0);
  window.FailOn(kFail);
  ::SendMessageW(window.Label(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(window.Presses(), 1);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(UnexpectedError, FailuresWhileCreatingAndDestroyingLeaveNoBrokenWindow) {
  // A failed WM_CREATE still leaves a window (its default answer is 0, "go on").
  FailingWindow created(WM_CREATE, prompt_);
  ASSERT_TRUE(created.Open());
  ExpectOneErrorBox();
  EXPECT_EQ(::SendMessageW(created.Handle(), kAnswer, 0, 0), 7);

  // A failure on the very last message still lets go of the window.
  FailingWindow destroyed(WM_NCDESTROY, prompt_);
  ASSERT_TRUE(destroyed.Open());
  const HWND handle = destroyed.Handle();
  EXPECT_TRUE(::DestroyWindow(handle));
  ExpectOneErrorBox();
  EXPECT_FALSE(::IsWindow(handle));
  EXPECT_EQ(destroyed.Handle(), nullptr);
}

TEST_F(UnexpectedError, AHandlerThatKeepsFailingWhileTheBoxIsOpenAddsNoSecondBox) {
  FailingWindow window(kFail, prompt_);
  ASSERT_TRUE(window.Open());
  // The box pumps messages while it is open; the same failing handler runs again meanwhile.
  prompt_.onAsk = [&](const testing::FakePrompt::Asked&) {
    EXPECT_EQ(::SendMessageW(window.Handle(), kFail, 0, 0), 0);
  };
  ::SendMessageW(window.Handle(), kFail, 0, 0);
  ExpectOneErrorBox();

  prompt_.onAsk = nullptr;
  ::SendMessageW(window.Handle(), kFail, 0, 0);  // once closed, the next failure is told again
  ExpectOneErrorBox();
}

// The window moves to the suggested place; one that sizes itself for the DPI keeps its size.
TEST(DpiChange, TheWindowTakesTheSuggestedPlaceAndTheNewDpi) {
  struct Case {
    SuggestedPlace take;
    int width, height;
  };
  for (const Case& c : {Case{SuggestedPlace::PositionAndSize, 450, 330},
                        Case{SuggestedPlace::PositionOnly, 300, 200}}) {
    testing::FakePrompt prompt;
    FailingWindow window(0, prompt);
    const HWND handle = window.Open();
    ASSERT_TRUE(handle);
    ::SetWindowPos(handle, nullptr, 10, 20, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT suggested{40, 50, 40 + 450, 50 + 330};
    EXPECT_EQ(
        FollowDpiChange(handle, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested), c.take),
        144u);
    RECT place{};
    ::GetWindowRect(handle, &place);
    EXPECT_EQ(place.left, 40);
    EXPECT_EQ(place.top, 50);
    EXPECT_EQ(place.right - place.left, c.width);
    EXPECT_EQ(place.bottom - place.top, c.height);
  }
}

}  // namespace
}  // namespace tidemoor
