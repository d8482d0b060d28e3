#include "support/caption_pixels_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"
#include "support/e2e_win.h"

namespace tidemoor::testing {
namespace {

// A 32-bit top-down bitmap selected into a memory DC, its pixels readable in place.
struct Bitmap {
  Bitmap(int width, int height) : width(width) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc.reset(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    bitmap.reset(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    pixels = static_cast<const uint32_t*>(bits);
    previous = ::SelectObject(dc.get(), bitmap.get());
  }
  ~Bitmap() { ::SelectObject(dc.get(), previous); }
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }

  int width;
  UniqueMemoryDc dc;
  UniqueGdiObject bitmap;
  HGDIOBJ previous = nullptr;
  const uint32_t* pixels = nullptr;
};

int Brightness(uint32_t pixel) {
  return static_cast<int>(((pixel >> 16) & 0xFF) * 3 + ((pixel >> 8) & 0xFF) * 6 + (pixel & 0xFF));
}

uint32_t CommonestColour(const ScreenShot& shot, const RECT& area) {
  std::map<uint32_t, int> counts;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) ++counts[shot.At(x, y)];
  }
  uint32_t commonest = 0;
  int most = 0;
  for (const auto& [colour, count] : counts) {
    if (count > most) commonest = colour, most = count;
  }
  return commonest;
}

SIZE TextSize(std::wstring_view text, HFONT font) {
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  const HGDIOBJ previous = ::SelectObject(dc.get(), font);
  SIZE size{};
  ::GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc.get(), previous);
  return size;
}

}  // namespace

ScreenShot::ScreenShot(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  width_ = client.right;
  height_ = client.bottom;
  if (width_ <= 0 || height_ <= 0) return;
  Bitmap copy(width_, height_);
  const HDC screen = ::GetDC(nullptr);
  ::BitBlt(copy.dc.get(), 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
  ::ReleaseDC(nullptr, screen);
  ::GdiFlush();
  pixels_.resize(static_cast<size_t>(width_) * height_);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) pixels_[static_cast<size_t>(y) * width_ + x] = copy.At(x, y);
  }
}

// The text is drawn here in black on the area's background; a pixel counts as ink when it is
// darker than half the background, on both sides, so that anti-aliased edges decide nothing.
std::optional<int> FindWholeText(const ScreenShot& shot, const RECT& area, std::wstring_view text,
                                 HFONT font) {
  const RECT inside{std::max(0L, area.left), std::max(0L, area.top),
                    std::min<LONG>(shot.Width(), area.right),
                    std::min<LONG>(shot.Height(), area.bottom)};
  if (text.empty() || inside.right <= inside.left || inside.bottom <= inside.top) return {};
  const uint32_t background = CommonestColour(shot, inside);
  const int threshold = Brightness(background) / 2;

  const SIZE size = TextSize(text, font);
  const int room = size.cy;
  Bitmap model(size.cx + 2 * room, size.cy + 2 * room);
  const RECT all{0, 0, size.cx + 2 * room, size.cy + 2 * room};
  UniqueGdiObject brush(::CreateSolidBrush(
      RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF)));
  ::FillRect(model.dc.get(), &all, static_cast<HBRUSH>(brush.get()));
  ::SelectObject(model.dc.get(), font);
  ::SetBkMode(model.dc.get(), TRANSPARENT);
  ::SetTextColor(model.dc.get(), RGB(0, 0, 0));
  ::TextOutW(model.dc.get(), room, room, text.data(), static_cast<int>(text.size()));
  ::GdiFlush();

  RECT ink{all.right, all.bottom, 0, 0};
  int inkCount = 0;
  for (int y = 0; y < all.bottom; ++y) {
    for (int x = 0; x < all.right; ++x) {
      if (Brightness(model.At(x, y)) >= threshold) continue;
      ++inkCount;
      ink = RECT{std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y),
                 std::max<LONG>(ink.right, x + 1), std::max<LONG>(ink.bottom, y + 1)};
    }
  }
  if (inkCount == 0) return {};

  // A few pixels of rounding may differ; a covered stroke of a character is many more.
  const int allowed = 2 + inkCount / 50;
  std::optional<int> best;
  int fewest = allowed + 1;
  for (int dy = inside.top - ink.top; dy + ink.bottom <= inside.bottom; ++dy) {
    for (int dx = inside.left - ink.left; dx + ink.right <= inside.right; ++dx) {
      int wrong = 0;
      for (int y = ink.top; y < ink.bottom && wrong < fewest; ++y) {
        for (int x = ink.left; x < ink.right && wrong < fewest; ++x) {
          const bool wanted = Brightness(model.At(x, y)) < threshold;
          const bool seen = Brightness(shot.At(x + dx, y + dy)) < threshold;
          if (wanted != seen) ++wrong;
        }
      }
      if (wrong < fewest) fewest = wrong, best = room + dx;
    }
  }
  return best;
}

RECT PlaceInParent(HWND control) {
  RECT place{};
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

BlanksOnScreen FindCaptionBlanks(HWND box, std::string_view blanks, HFONT font) {
  const std::wstring caption = Widen(WindowText(box));
  const std::wstring wanted = Widen(blanks);
  const size_t at = caption.find(wanted);
  BlanksOnScreen found;
  found.width = TextSize(wanted, font).cx;
  if (at == std::wstring::npos) return found;
  const std::wstring_view before = std::wstring_view(caption).substr(0, at);
  const std::wstring_view after = std::wstring_view(caption).substr(at + wanted.size());

  const ScreenShot shot(::GetParent(box));
  const RECT area = PlaceInParent(box);
  if (const auto origin = FindWholeText(shot, area, before, font)) {
    found.left = *origin + TextSize(before, font).cx;
  }
  found.right = FindWholeText(shot, area, after, font);
  return found;
}

void ExpectEditInsideCaptionBlanks(HWND box, HWND edit, std::string_view blanks, HFONT font) {
  const std::string caption = WindowText(box);
  BlanksOnScreen seen;
  WaitUntil(
      [&] {
        ::RedrawWindow(::GetParent(box), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        seen = FindCaptionBlanks(box, blanks, font);
        return seen.left && seen.right;
      },
      std::chrono::seconds(5));
  ASSERT_TRUE(seen.left) << caption << ": the text before the blanks is not seen whole";
  ASSERT_TRUE(seen.right) << caption << ": the text after the blanks is not seen whole";
  EXPECT_NEAR(*seen.right - *seen.left, seen.width, 1) << caption;
  const RECT place = PlaceInParent(edit);
  EXPECT_GE(place.left, *seen.left) << caption;
  EXPECT_LE(place.right, *seen.right) << caption;
  EXPECT_GE(place.right - place.left, seen.width * 3 / 4) << caption;
}

}  // namespace tidemoor::testing
