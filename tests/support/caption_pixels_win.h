#pragma once
// What the screen shows of a window, and where a text shows whole in it: tests that look at a
// caption the way a user does, by its pixels.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tidemoor::testing {

// The window's client area as it is on screen, children and anything over them included.
class ScreenShot {
 public:
  explicit ScreenShot(HWND window);
  int Width() const { return width_; }
  int Height() const { return height_; }
  uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;  // 0x00RRGGBB, top row first
};

// Where the text, in the font, shows whole within the area (client pixels) of the shot: the x of
// its origin. Nothing when some of its ink is covered, missing or elsewhere.
std::optional<int> FindWholeText(const ScreenShot& shot, const RECT& area, std::wstring_view text,
                                 HFONT font);

// Where the blanks of a check box's caption lie as the screen shows them, in client pixels of the
// box's parent: the caption's text before them must show whole for left, the text after them for
// right.
struct BlanksOnScreen {
  std::optional<int> left;
  std::optional<int> right;
  int width = 0;  // the blanks' advance in the font
};
BlanksOnScreen FindCaptionBlanks(HWND box, std::string_view blanks, HFONT font);

// A control's rectangle in client pixels of its parent.
RECT PlaceInParent(HWND control);

// Checks by what the screen shows that the edit box lies inside the blanks of the check box's
// caption, filling at least three quarters of them, and that the caption's text on both sides
// shows whole. Gives the window a few seconds to finish painting.
void ExpectEditInsideCaptionBlanks(HWND box, HWND edit, std::string_view blanks, HFONT font);

}  // namespace tidemoor::testing
