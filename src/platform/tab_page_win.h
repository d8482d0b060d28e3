#pragma once
// One page of a window's tab strip: its controls, made from a table as siblings of the tabs, placed
// again for a new DPI and shown or hidden together; the page's report list gets its columns.

#include <windows.h>

#include <span>

#include "platform/control_table.h"
#include "platform/window_win.h"

namespace tidemoor {

class TabPage {
 public:
  TabPage(std::span<const ControlDefinition> controls, int listId,
          std::span<const ListColumn> columns)
      : controls_(controls), listId_(listId), columns_(columns) {}

  // Made hidden: the window shows the page when its tab is chosen.
  void Make(HWND parent, UINT dpi);
  void Place(UINT dpi);
  void Show(bool shown);
  HWND Control(int id) const { return ::GetDlgItem(parent_, id); }
  bool Made() const { return parent_ != nullptr; }
  HWND Window() const { return parent_; }  // the window that holds the tabs

 private:
  std::span<const ControlDefinition> controls_;
  int listId_;
  std::span<const ListColumn> columns_;
  HWND parent_ = nullptr;
  UniqueGdiObject font_;
};

}  // namespace tidemoor
