// The minutes of the interval restart and of the automatic backup, as the user sees them: each
// edit box sits in the blanks of its check box's caption and leaves the words around them whole.

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "app/main_layout.h"
#include "platform/unique_handle_win.h"
#include "platform/window_win.h"
#include "support/caption_pixels_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using namespace testing;
using C = MainControl;

// The tool ends with the test even when the test itself is ended first.
UniqueHandle KillWithTest(HANDLE process) {
  UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));
  ::AssignProcessToJobObject(job.get(), process);
  return job;
}

const ControlDefinition& Definition(C control) {
  for (const ControlDefinition& definition : MainWindowLayout()) {
    if (definition.id == static_cast<int>(control)) return definition;
  }
  throw std::logic_error("control missing from the layout");
}

TEST(MinuteBoxes, SitInTheCaptionBlanksAndLeaveTheWordsAroundThemWhole) {
  TempToolDirectory dir("minutes");
  dir.InstallTool();
  ToolProcess tool(dir);
  const UniqueHandle job = KillWithTest(tool.Handle());
  const HWND window = tool.WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  const UINT dpi = WindowDpi(window);
  const UniqueGdiObject font = CreateUiFont(dpi);

  for (const auto& [box, edit] : {std::pair{C::IntervalRestartBox, C::IntervalRestartMinutes},
                                  std::pair{C::AutoBackupBox, C::AutoBackupMinutes}}) {
    const HWND editWindow = ::GetDlgItem(window, static_cast<int>(edit));
    ExpectEditInsideCaptionBlanks(::GetDlgItem(window, static_cast<int>(box)), editWindow,
                                  kMinuteBlanks, static_cast<HFONT>(font.get()));
    // Across it moves; up and down it keeps the table's place.
    const RECT place = PlaceInParent(editWindow);
    EXPECT_EQ(place.top, ScaleForDpi(Definition(edit).y, dpi));
    EXPECT_EQ(place.bottom - place.top, ScaleForDpi(Definition(edit).height, dpi));
  }

  CloseToolWindow(window);
  EXPECT_TRUE(tool.WaitForExit());
}

}  // namespace
}  // namespace tidemoor
