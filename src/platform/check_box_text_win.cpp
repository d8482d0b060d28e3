#include "platform/check_box_text_win.h"

#include <cstdint>
#include <string>

#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::DestroyWindow(h); }
};
using UniqueWindow = UniqueResource<WindowTraits>;

// A white 32-bit picture whose pixels are read straight from memory.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_.reset(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_ || !bits) return;
    previous_ = ::SelectObject(dc_.get(), bitmap_.get());
    pixels_ = static_cast<const uint32_t*>(bits);
    const RECT all{0, 0, width, height};
    ::FillRect(dc_.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  ~Canvas() {
    if (previous_) ::SelectObject(dc_.get(), previous_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool Valid() const { return pixels_ != nullptr; }
  HDC Dc() const { return dc_.get(); }

  // The leftmost column in which this picture differs from the other one of the same size, or
  // from white without another.
  std::optional<int> FirstColumnUnlike(const Canvas* other) const {
    ::GdiFlush();
    constexpr uint32_t kWhite = 0x00FFFFFF;
    for (int x = 0; x < width_; ++x) {
      for (int y = 0; y < height_; ++y) {
        const size_t at = static_cast<size_t>(y) * width_ + x;
        const uint32_t unlike = other ? other->pixels_[at] : kWhite;
        if ((pixels_[at] & kWhite) != (unlike & kWhite)) return x;
      }
    }
    return std::nullopt;
  }

 private:
  int width_, height_;
  UniqueMemoryDc dc_;
  UniqueGdiObject bitmap_;
  HGDIOBJ previous_ = nullptr;
  const uint32_t* pixels_ = nullptr;
};

// Everything a check box draws, minus its caption's place, is fixed by its style, size, font
// and DPI; a hidden twin that shares them, never focused nor ticked, paints for measuring.
UniqueWindow MakeTwin(HWND box, HFONT font, int width, int height) {
  wchar_t className[64] = {};
  ::GetClassNameW(box, className, 64);
  const auto style =
      static_cast<DWORD>(::GetWindowLongW(box, GWL_STYLE)) & ~(WS_VISIBLE | WS_TABSTOP | WS_GROUP);
  const auto exStyle =
      static_cast<DWORD>(::GetWindowLongW(box, GWL_EXSTYLE)) | WS_EX_NOPARENTNOTIFY;
  UniqueWindow twin(::CreateWindowExW(
      exStyle, className, L"", style, 0, 0, width, height, ::GetParent(box), nullptr,
      reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(box, GWLP_HINSTANCE)), nullptr));
  if (twin) ::SendMessageW(twin.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return twin;
}

void PaintInto(HWND window, const Canvas& canvas) {
  ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()),
                 PRF_CLIENT | PRF_ERASEBKGND);
}

// Where the box starts its caption, in its own client pixels. That place follows the check
// glyph's size and its gap to the text, and both belong to whoever paints the box: the visual
// styles of Windows scale them with the DPI in their own way, and Wine 8 with its theme puts the
// caption at the theme's BP_CHECKBOX part size plus half the width of "0" plus one, while its
// BCM_GETIDEALSIZE counts the glyph as 12 pixels per 96 DPI plus one and so is a pixel off at
// 144 DPI. So no formula is trusted: the twin paints its glyph alone and then with the caption,
// the first column that changes is where the caption's ink starts, and the same text drawn here
// at a known origin tells how far its first ink lies from its origin.
std::optional<int> CaptionOrigin(HWND box, HFONT font, const std::wstring& caption) {
  RECT client{};
  ::GetClientRect(box, &client);
  const int width = client.right, height = client.bottom;
  if (width <= 0 || height <= 0) return std::nullopt;
  const UniqueWindow twin = MakeTwin(box, font, width, height);
  Canvas glyph(width, height), written(width, height);
  if (!twin || !glyph.Valid() || !written.Valid()) return std::nullopt;
  // A blank rather than no caption, so that both pictures come from the same layout (a line of
  // text beside the glyph) and differ in the caption's ink alone.
  ::SetWindowTextW(twin.get(), L" ");
  PaintInto(twin.get(), glyph);
  ::SetWindowTextW(twin.get(), caption.c_str());
  PaintInto(twin.get(), written);
  const std::optional<int> captionInk = written.FirstColumnUnlike(&glyph);

  // Room on the left for a first character whose ink starts before its origin.
  const int room = height;
  Canvas own(width + room, height);
  if (!captionInk || !own.Valid()) return std::nullopt;
  ::SelectObject(own.Dc(), font);
  ::SetBkMode(own.Dc(), TRANSPARENT);
  ::SetTextColor(own.Dc(), RGB(0, 0, 0));
  RECT area{room, 0, width + room, height};
  ::DrawTextW(own.Dc(), caption.c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
  const std::optional<int> ownInk = own.FirstColumnUnlike(nullptr);
  if (!ownInk) return std::nullopt;
  return *captionInk - (*ownInk - room);
}

// The advance of the text as the box lays it out (an & marks a mnemonic and takes no room).
int TextAdvance(HDC dc, std::wstring_view text) {
  if (text.empty()) return 0;
  RECT area{0, 0, 0, 0};
  ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &area, DT_SINGLELINE | DT_CALCRECT);
  return area.right - area.left;
}

}  // namespace

std::optional<PixelSpan> CheckBoxCaptionSpan(HWND box, std::string_view part) {
  const std::wstring caption = Widen(WindowText(box));
  const std::wstring wanted = Widen(part);
  const size_t at = caption.find(wanted);
  if (wanted.empty() || at == std::wstring::npos) return std::nullopt;

  auto font = reinterpret_cast<HFONT>(::SendMessageW(box, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
  const std::optional<int> origin = CaptionOrigin(box, font, caption);
  if (!origin) return std::nullopt;

  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  const HGDIOBJ previous = ::SelectObject(dc.get(), font);
  const std::wstring_view text(caption);
  const int before = TextAdvance(dc.get(), text.substr(0, at));
  const int through = TextAdvance(dc.get(), text.substr(0, at + wanted.size()));
  ::SelectObject(dc.get(), previous);

  POINT start{*origin, 0};
  ::MapWindowPoints(box, ::GetParent(box), &start, 1);
  return PixelSpan{start.x + before, start.x + through};
}

}  // namespace tidemoor
