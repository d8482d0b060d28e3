#pragma once
// One cell of a report list set from UTF-8 text.

#include <windows.h>

#include <string_view>

namespace tidemoor {

// Column 0 with insert makes the row; every other call sets the text of a row already there.
void SetListCell(HWND list, int row, int column, std::string_view text, bool insert);

}  // namespace tidemoor
