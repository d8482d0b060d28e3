#include "platform/tab_page_win.h"

namespace tidemoor {

void TabPage::Make(HWND parent, UINT dpi) {
  parent_ = parent;
  CreateControlsForDpi(parent_, controls_, dpi, font_);
  AddListColumns(Control(listId_), columns_);
  Place(dpi);
  Show(false);
}

void TabPage::Place(UINT dpi) {
  PlaceControlsForDpi(parent_, controls_, dpi, font_);
  SizeListColumns(Control(listId_), columns_, dpi);
}

void TabPage::Show(bool shown) {
  ShowControls(parent_, controls_, shown);
}

}  // namespace tidemoor
