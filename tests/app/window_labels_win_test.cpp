// The labels that open the tool's windows, on their row in 扩展设置: every caption fits its label
// at 100 % and 150 % in the UI font made for that DPI, and the row stays inside its group.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/main_layout.h"
#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"
#include "platform/window_win.h"

namespace tidemoor {
namespace {

using C = MainControl;

struct ScreenDc {
  ScreenDc() = default;
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() { ::ReleaseDC(nullptr, dc); }
  HDC dc = ::GetDC(nullptr);
};

TEST(WindowLabels, EveryCaptionShowsWholeAtOneHundredAndOneHundredFiftyPercent) {
  const ControlDefinition* group = nullptr;
  for (const MainControlRow& row : MainWindowRows()) {
    if (row.control.id == static_cast<int>(C::SafetyGroup)) group = &row.control;
  }
  ASSERT_NE(group, nullptr);
  const ScreenDc screen;
  int labels = 0;
  for (const UINT dpi : {96u, 144u}) {
    const UniqueGdiObject font = CreateUiFont(dpi);
    const HGDIOBJ before = ::SelectObject(screen.dc, font.get());
    for (const MainControlRow& row : MainWindowRows()) {
      const ControlDefinition& label = row.control;
      if (label.kind != ControlKind::ClickableLabel || label.caption.rfind("(", 0) != 0 ||
          label.y < group->y) {
        continue;
      }
      ++labels;
      const std::wstring caption = Widen(label.caption);
      SIZE extent{};
      ASSERT_TRUE(::GetTextExtentPoint32W(screen.dc, caption.c_str(),
                                          static_cast<int>(caption.size()), &extent));
      EXPECT_LE(extent.cx, ScaleForDpi(label.width, dpi)) << label.caption << " at " << dpi;
      EXPECT_LE(extent.cy, ScaleForDpi(label.height, dpi)) << label.caption << " at " << dpi;
      EXPECT_LE(label.x + label.width, group->x + group->width - 8) << label.caption;
    }
    ::SelectObject(screen.dc, before);
  }
  EXPECT_EQ(labels, 2 * 8);
}

}  // namespace
}  // namespace tidemoor
