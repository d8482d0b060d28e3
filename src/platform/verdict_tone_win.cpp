#include "platform/verdict_tone_win.h"

#include "platform/codepage_win.h"
#include "platform/verdict_tone.h"

namespace tidemoor {
namespace {

// Dark enough to read on the dialog face at the UI font's size.
COLORREF ToneColour(VerdictTone tone) {
  switch (tone) {
    case VerdictTone::Good:
      return RGB(0, 128, 0);
    case VerdictTone::Caution:
      return RGB(184, 115, 0);
    case VerdictTone::Bad:
      return RGB(200, 0, 0);
    case VerdictTone::Unknown:
    case VerdictTone::Plain:
      break;
  }
  return RGB(112, 112, 112);
}

}  // namespace

std::optional<LRESULT> ColourVerdictLabel(HDC dc, HWND label) {
  const VerdictTone tone = ToneOfVerdictWord(WindowText(label));
  if (tone == VerdictTone::Plain) return std::nullopt;
  ::SetTextColor(dc, ToneColour(tone));
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace tidemoor
