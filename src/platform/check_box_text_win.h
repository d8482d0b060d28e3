#pragma once
// Where a check box draws a part of its caption, so that another control can sit exactly over
// blanks left in the caption for it.

#include <windows.h>

#include <optional>
#include <string_view>

namespace tidemoor {

// A horizontal stretch in client pixels of a window; right is one past the last pixel.
struct PixelSpan {
  int left = 0;
  int right = 0;
};

// Where the first occurrence of the part (UTF-8) in the check box's single-line caption is drawn,
// in client pixels of the box's parent. Nothing when the caption lacks the part or the box
// painted no caption to measure.
std::optional<PixelSpan> CheckBoxCaptionSpan(HWND box, std::string_view part);

}  // namespace tidemoor
