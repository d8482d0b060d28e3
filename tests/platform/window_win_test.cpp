#include "platform/window_win.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/message_box_win.h"

namespace tidemoor {
namespace {

constexpr UINT kFail = WM_APP;        // the handler throws
constexpr UINT kAnswer = WM_APP + 1;  // the handler answers 7
constexpr int kLabelId = 100;

// A window whose handlers throw when told to, with a clickable label that reports presses.
class FailingWindow : public BaseWindow<FailingWindow> {
 public:
  explicit FailingWindow(UINT failOn) : failOn_(failOn) {}
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
  void SetUp() override {
    SetMessageAnswerer([this](const MessageRequest& request) {
      messages_.push_back(request);
      return IDOK;
    });
  }
  void TearDown() override { SetMessageAnswerer({}); }

  void ExpectOneErrorBox(HWND owner) {
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, " 发生意外错误 - 操作未完成 ");
    EXPECT_EQ(messages_[0].title, " Error");
    EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR | MB_TASKMODAL));
    EXPECT_EQ(messages_[0].owner, owner);
    messages_.clear();
  }

  std::vector<MessageRequest> messages_;
};

TEST_F(UnexpectedError, AFailedHandlerIsReportedAndTheWindowKeepsWorking) {
  FailingWindow window(kFail);
  ASSERT_TRUE(window.Open());
  EXPECT_TRUE(messages_.empty());

  // The message gets what the default handling answers.
  EXPECT_EQ(::SendMessageW(window.Handle(), kFail, 0, 0), 0);
  ExpectOneErrorBox(window.Handle());
  EXPECT_EQ(::SendMessageW(window.Handle(), kAnswer, 0, 0), 7);

  // A failure while the label's press travels to the window: the box is owned by the window,
  // and the next press arrives as before.
  window.FailOn(WM_COMMAND);
  ::SendMessageW(window.Label(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  ExpectOneErrorBox(window.Handle());
  EXPECT_EQ(window.Presses(), 0);
  window.FailOn(kFail);
  ::SendMessageW(window.Label(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(window.Presses(), 1);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(UnexpectedError, FailuresWhileCreatingAndDestroyingLeaveNoBrokenWindow) {
  // A failed WM_CREATE still leaves a window (its default answer is 0, "go on").
  FailingWindow created(WM_CREATE);
  ASSERT_TRUE(created.Open());
  ExpectOneErrorBox(created.Handle());
  EXPECT_EQ(::SendMessageW(created.Handle(), kAnswer, 0, 0), 7);

  // A failure on the very last message still lets go of the window.
  FailingWindow destroyed(WM_NCDESTROY);
  ASSERT_TRUE(destroyed.Open());
  const HWND handle = destroyed.Handle();
  EXPECT_TRUE(::DestroyWindow(handle));
  ExpectOneErrorBox(handle);
  EXPECT_FALSE(::IsWindow(handle));
  EXPECT_EQ(destroyed.Handle(), nullptr);
}

TEST_F(UnexpectedError, AHandlerThatKeepsFailingWhileTheBoxIsOpenAddsNoSecondBox) {
  FailingWindow window(kFail);
  ASSERT_TRUE(window.Open());
  // The box pumps messages while it is open; the same failing handler runs again meanwhile.
  SetMessageAnswerer([&](const MessageRequest& request) {
    messages_.push_back(request);
    EXPECT_EQ(::SendMessageW(window.Handle(), kFail, 0, 0), 0);
    return IDOK;
  });
  ::SendMessageW(window.Handle(), kFail, 0, 0);
  ExpectOneErrorBox(window.Handle());

  SetMessageAnswerer([&](const MessageRequest& request) {
    messages_.push_back(request);
    return IDOK;
  });
  ::SendMessageW(window.Handle(), kFail, 0, 0);  // once closed, the next failure is told again
  ExpectOneErrorBox(window.Handle());
}

}  // namespace
}  // namespace tidemoor
