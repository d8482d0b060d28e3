// The minutes' edit boxes fitted into their check box's caption blanks the way the main window
// does it, at DPIs the screen here does not have: the controls and the UI font scaled as a DPI
// change scales them, in the visual styles the tool's manifest asks for.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/main_layout.h"
#include "app/main_window_win.h"
#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"
#include "platform/window_win.h"
#include "support/caption_pixels_win.h"

namespace tidemoor {
namespace {

using namespace testing;
using C = MainControl;

constexpr char kCommonControls6[] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
        processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
    </dependentAssembly>
  </dependency>
</assembly>
)";

// Common controls 6 while it lives: without them the check boxes made here would be the plain,
// unthemed ones, which lay out their captions differently.
class VisualStyles {
 public:
  VisualStyles() {
    wchar_t directory[MAX_PATH];
    ::GetTempPathW(MAX_PATH, directory);
    manifest_ = std::wstring(directory) + L"tidemoor-visual-styles-" +
                std::to_wstring(::GetCurrentProcessId()) + L".manifest";
    UniqueFileHandle file(::CreateFileW(manifest_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), kCommonControls6, sizeof(kCommonControls6) - 1, &written, nullptr);
    file.reset();
    ACTCTXW request{sizeof(request)};
    request.lpSource = manifest_.c_str();
    context_ = ::CreateActCtxW(&request);
    if (context_ != INVALID_HANDLE_VALUE) ::ActivateActCtx(context_, &cookie_);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
  }
  ~VisualStyles() {
    if (context_ != INVALID_HANDLE_VALUE) {
      ::DeactivateActCtx(0, cookie_);
      ::ReleaseActCtx(context_);
    }
    ::DeleteFileW(manifest_.c_str());
  }

 private:
  std::wstring manifest_;
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

const ControlDefinition& Definition(C control) {
  for (const ControlDefinition& definition : MainWindowLayout()) {
    if (definition.id == static_cast<int>(control)) return definition;
  }
  throw std::logic_error("control missing from the layout");
}

constexpr std::array<std::pair<C, C>, 2> kPairs{
    {{C::IntervalRestartBox, C::IntervalRestartMinutes}, {C::AutoBackupBox, C::AutoBackupMinutes}}};

// The two check boxes and their minutes from the main window's table, on a window of their own
// in the screen's top left corner, created for the DPI. Shown only when a test looks at the
// screen: without a window manager, Wine takes seconds to take a shown window down again.
class MinutesWindow {
 public:
  MinutesWindow(UINT dpi, bool shown) : dpi_(dpi) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"TidemoorMinutesTest";
    ::RegisterClassW(&windowClass);

    std::vector<ControlDefinition> controls;
    int right = 0, bottom = 0;
    for (const auto& [box, edit] : kPairs) {
      for (C control : {box, edit}) {
        const ControlDefinition& definition = Definition(control);
        controls.push_back(definition);
        right = std::max(right, definition.x + definition.width);
        bottom = std::max(bottom, definition.y + definition.height);
      }
    }
    window_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"",
                                WS_POPUP | (shown ? WS_VISIBLE : 0), 0, 0,
                                ScaleForDpi(right + 8, dpi), ScaleForDpi(bottom + 8, dpi), nullptr,
                                nullptr, windowClass.hInstance, nullptr);
    CreateControlsForDpi(window_, controls, dpi, font_);
    for (const auto& [box, edit] : kPairs) KeepEditAboveBox(Control(box), Control(edit));
    ::UpdateWindow(window_);
  }
  ~MinutesWindow() { ::DestroyWindow(window_); }

  HWND Control(C control) const { return ::GetDlgItem(window_, static_cast<int>(control)); }
  HFONT Font() const { return static_cast<HFONT>(font_.get()); }
  UINT Dpi() const { return dpi_; }
  int ChildCount() const {
    int count = 0;
    for (HWND child = ::GetWindow(window_, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
      ++count;
    }
    return count;
  }

 private:
  UINT dpi_;
  UniqueGdiObject font_;
  HWND window_ = nullptr;
};

bool SamePlace(const RECT& a, const RECT& b) {
  return ::EqualRect(&a, &b) != FALSE;
}

struct Look {
  UINT dpi;
  bool visualStyles;  // off, check boxes look as under a high-contrast theme
};

class MinuteBoxesAtDpi : public ::testing::TestWithParam<Look> {};

TEST_P(MinuteBoxesAtDpi, SitInTheCaptionBlanksAndLeaveTheWordsAroundThemWhole) {
  std::optional<VisualStyles> styles;
  if (GetParam().visualStyles) styles.emplace();
  MinutesWindow window(GetParam().dpi, true);
  for (const auto& [box, edit] : kPairs) {
    SIZE ideal{};
    const bool commonControls6 = ::SendMessageW(window.Control(box), BCM_GETIDEALSIZE, 0,
                                                reinterpret_cast<LPARAM>(&ideal)) != FALSE;
    ASSERT_EQ(commonControls6, GetParam().visualStyles) << "the check boxes are not as intended";
    FitEditIntoCaptionBlanks(window.Control(box), window.Control(edit));
    ExpectEditInsideCaptionBlanks(window.Control(box), window.Control(edit), kMinuteBlanks,
                                  window.Font());
    const RECT place = PlaceInParent(window.Control(edit));
    EXPECT_EQ(place.top, ScaleForDpi(Definition(edit).y, window.Dpi()));
    EXPECT_EQ(place.bottom - place.top, ScaleForDpi(Definition(edit).height, window.Dpi()));
  }
}

INSTANTIATE_TEST_SUITE_P(ScreenScales, MinuteBoxesAtDpi,
                         ::testing::Values(Look{96, true}, Look{144, true}, Look{192, true},
                                           Look{144, false}),
                         [](const ::testing::TestParamInfo<Look>& look) {
                           return std::to_string(look.param.dpi) +
                                  (look.param.visualStyles ? "Dpi" : "DpiPlain");
                         });

class MinuteBoxes : public ::testing::Test {
 protected:
  VisualStyles styles_;
  MinutesWindow window_{144, false};
  HWND box_ = window_.Control(C::IntervalRestartBox);
  HWND edit_ = window_.Control(C::IntervalRestartMinutes);
};

// Measuring takes a hidden twin of the box: it must go again, and the box's own state (ticked,
// focused, its focus rectangle drawn) must not move the blanks.
TEST_F(MinuteBoxes, FitDoesNotDependOnTheBoxStateAndLeavesNoWindowBehind) {
  const int children = window_.ChildCount();
  FitEditIntoCaptionBlanks(box_, edit_);
  const RECT fitted = PlaceInParent(edit_);
  EXPECT_EQ(window_.ChildCount(), children);

  ::SendMessageW(box_, BM_SETCHECK, BST_CHECKED, 0);
  ::SetFocus(box_);
  ::SendMessageW(box_, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  FitEditIntoCaptionBlanks(box_, edit_);
  EXPECT_TRUE(SamePlace(PlaceInParent(edit_), fitted));
  EXPECT_EQ(window_.ChildCount(), children);
}

TEST_F(MinuteBoxes, EditStaysWhereItWasWhenTheCaptionHasNoBlanks) {
  const RECT before = PlaceInParent(edit_);
  SetWindowTextUtf8(box_, "自动间隔分钟重启");
  FitEditIntoCaptionBlanks(box_, edit_);
  EXPECT_TRUE(SamePlace(PlaceInParent(edit_), before));
}

}  // namespace
}  // namespace tidemoor
