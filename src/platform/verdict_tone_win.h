#pragma once
// The verdict words' colours on Win32: a window passes its WM_CTLCOLORSTATIC here.

#include <windows.h>

#include <optional>

namespace tidemoor {

// For a label that holds one verdict word: its text colour set on dc, and the brush the label's
// background is painted with. nullopt for any other label, which is drawn as usual.
std::optional<LRESULT> ColourVerdictLabel(HDC dc, HWND label);

}  // namespace tidemoor
