#include "platform/list_cell_win.h"

#include <commctrl.h>

#include <string>

#include "platform/codepage_win.h"

namespace tidemoor {

void SetListCell(HWND list, int row, int column, std::string_view text, bool insert) {
  std::wstring wide = Widen(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = column;
  item.pszText = wide.data();
  ::SendMessageW(list, insert && column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, row,
                 reinterpret_cast<LPARAM>(&item));
}

}  // namespace tidemoor
