#include "worldsettings/world_settings_window_win.h"

#include <commctrl.h>

#include <iterator>
#include <optional>
#include <string>

#include "platform/codepage_win.h"
#include "platform/run_command_win.h"
#include "platform/window_win.h"
#include "worldsettings/world_settings_file_win.h"

namespace tidemoor {
namespace {

using Id = WorldSettingsControl;

constexpr wchar_t kClassName[] = L"TidemoorWorldSettings";
constexpr char kTitle[] = "世界属性设置 <更改后保存重启服务端生效>";
constexpr int kWidth = 714, kHeight = 538;
constexpr int kValueColumn = 4;
constexpr UINT_PTR kNumberFilterId = 0x7B00;

// The group box at (6, 4) frames the others; places are in the window's client area.
constexpr int kGroupX = 6, kGroupY = 4;
const ControlDefinition kControls[] = {
    {static_cast<int>(Id::Group), ControlKind::GroupBox, "游戏设置项目", kGroupX, kGroupY, 696,
     498},
    {static_cast<int>(Id::List), ControlKind::ReportList, "", kGroupX + 8, kGroupY + 17, 678, 400,
     kHeaderless},
    {static_cast<int>(Id::HelpLabel), ControlKind::Label, "我是项目的注释文本，请看这里~~",
     kGroupX + 8, kGroupY + 422, 678, 24, kEndEllipsis},
    {static_cast<int>(Id::KeyLabel), ControlKind::Label, "<当前选中的值注释文本>", kGroupX + 8,
     kGroupY + 446, 554, 16},
    {static_cast<int>(Id::ValueEdit), ControlKind::Edit, "Brqm.TOLPXuna", kGroupX + 8,
     kGroupY + 464, 554, 24},
    {static_cast<int>(Id::ValueBox), ControlKind::CheckBox, "启用此设置选项", kGroupX + 16,
     kGroupY + 464, 112, 24},
    {static_cast<int>(Id::SaveButton), ControlKind::Button, "保存全部设置", kGroupX + 570,
     kGroupY + 464, 116, 24},
};

// Borderless, the two visible columns (660) and the vertical scroll bar just fit the list's width,
// so no horizontal scroll bar appears.
struct ListColumn {
  const char* caption;
  int width;
};
// Key, help and kind stay hidden: the labels below the list show the selected row's key and help.
const ListColumn kColumns[] = {
    {"项目源名字", 0}, {"项目名", 380}, {"注释说明", 0}, {"值类型", 0}, {"设置值", 280},
};

// In number rows typed characters other than digits, "-" and "." never reach the edit box.
LRESULT NumberFilterMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                            DWORD_PTR numbersOnly) {
  if (message == WM_CHAR && *reinterpret_cast<const bool*>(numbersOnly) &&
      !IsNumberInput(static_cast<char32_t>(wParam))) {
    return 0;
  }
  return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

LRESULT WorldSettingsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreated();
      return 0;
    case WM_COMMAND:
      OnCommand(static_cast<Id>(LOWORD(wParam)), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_NCDESTROY:
      editor_.reset();
      font_.reset();
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

HWND WorldSettingsWindow::Control(Id id) const {
  return ::GetDlgItem(window_, static_cast<int>(id));
}

void WorldSettingsWindow::OnCreated() {
  const UINT dpi = WindowDpi(window_);
  CreateControlsForDpi(window_, kControls, dpi, font_);
  ::ShowWindow(Control(Id::ValueBox), SW_HIDE);
  ::SetWindowSubclass(Control(Id::ValueEdit), &SubclassWithoutEscape<&NumberFilterMessage>,
                      kNumberFilterId, reinterpret_cast<DWORD_PTR>(&numbersOnly_));

  HWND list = Control(Id::List);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
  ListView_SetTextColor(list, RGB(0, 0, 0));
  ListView_SetTextBkColor(list, RGB(255, 255, 255));
  ListView_SetBkColor(list, RGB(255, 255, 255));
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    std::wstring caption = Widen(kColumns[i].caption);
    LVCOLUMNW column{LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM};
    column.fmt = LVCFMT_LEFT;
    column.pszText = caption.data();
    column.iSubItem = i;
    ListView_InsertColumn(list, i, &column);
  }
  PlaceControls(WindowDpi(window_));
  FillList();

  // The second row, as the window has always opened; the row change fills the editors.
  ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list, 1, FALSE);
}

void WorldSettingsWindow::PlaceControls(UINT dpi) {
  ::SetWindowPos(window_, nullptr, 0, 0, ScaleForDpi(kWidth, dpi), ScaleForDpi(kHeight, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceControlsForDpi(window_, kControls, dpi, font_);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    ListView_SetColumnWidth(Control(Id::List), i, ScaleForDpi(kColumns[i].width, dpi));
  }
}

void WorldSettingsWindow::FillList() {
  HWND list = Control(Id::List);
  const std::vector<SettingEntry>& rows = editor_->Settings().Rows;
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    std::wstring key = Widen(rows[i].Key);
    LVITEMW item{LVIF_TEXT};
    item.iItem = i;
    item.pszText = key.data();
    ListView_InsertItem(list, &item);
    SetCell(i, 1, rows[i].DisplayName);
    SetCell(i, 2, rows[i].Help);
    SetCell(i, 3, rows[i].Kind);
    SetCell(i, kValueColumn, rows[i].Value);
  }
}

void WorldSettingsWindow::SetCell(int row, int column, std::string_view text) {
  std::wstring wide = Widen(text);
  ListView_SetItemText(Control(Id::List), row, column, wide.data());
}

void WorldSettingsWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom != static_cast<UINT_PTR>(Id::List) || header.code != LVN_ITEMCHANGED) return;
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
  // Text changes notify too; only a move of the selection or focus changes the row.
  const UINT moved = (change.uNewState ^ change.uOldState) & (LVIS_SELECTED | LVIS_FOCUSED);
  if ((change.uChanged & LVIF_STATE) && moved) OnRowChanged();
}

void WorldSettingsWindow::OnRowChanged() {
  const int index = ListView_GetNextItem(Control(Id::List), -1, LVNI_SELECTED);
  const RowView view = editor_->SelectRow(index);
  SetWindowTextUtf8(Control(Id::KeyLabel), view.keyLabel);
  SetWindowTextUtf8(Control(Id::HelpLabel), view.helpLabel);
  const bool boxShown = view.editor == ValueEditor::CheckBox;
  const bool editShown =
      view.editor == ValueEditor::TextBox || view.editor == ValueEditor::NumberBox;
  ::ShowWindow(Control(Id::ValueBox), boxShown ? SW_SHOW : SW_HIDE);
  ::ShowWindow(Control(Id::ValueEdit), editShown ? SW_SHOW : SW_HIDE);
  if (editShown) {
    numbersOnly_ = view.editor == ValueEditor::NumberBox;
    ShowInEditBox(view.text);
  }
  if (boxShown) {
    ::SendMessageW(Control(Id::ValueBox), BM_SETCHECK, view.ticked ? BST_CHECKED : BST_UNCHECKED,
                   0);
  }
}

// Putting a row's value on show is not an edit: the row keeps its value even when it is empty.
void WorldSettingsWindow::ShowInEditBox(std::string_view text) {
  showingValue_ = true;
  SetWindowTextUtf8(Control(Id::ValueEdit), text);
  showingValue_ = false;
}

void WorldSettingsWindow::OnCommand(Id id, WORD code) {
  if (id == Id::ValueEdit && code == EN_CHANGE && !showingValue_) {
    OnValueEdited();
  } else if (id == Id::ValueBox && code == BN_CLICKED) {
    const bool ticked = ::SendMessageW(Control(Id::ValueBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
    SetCell(editor_->EditedRow(), kValueColumn, editor_->TickValue(ticked));
  } else if (id == Id::SaveButton && code == BN_CLICKED) {
    OnSave();
  }
}

void WorldSettingsWindow::OnValueEdited() {
  HWND edit = Control(Id::ValueEdit);
  const std::string content = WindowText(edit);
  if (!editor_->AcceptsContent(content)) {
    ShowInEditBox(editor_->BoxText());
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    return;
  }
  SetCell(editor_->EditedRow(), kValueColumn, editor_->EditValue(content));
}

void WorldSettingsWindow::OnSave() {
  // A failed save keeps the window and the user's edits for another try.
  if (SaveWorldSettings(paths_, editor_->Settings(), *prompt_)) ::DestroyWindow(window_);
}

void WorldSettingsWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceControls(dpi);
}

void WorldSettingsWindow::Open(HWND owner, const ServerPaths& paths, Prompt& prompt) {
  if (window_) {
    BringWindowForward(window_);
    return;
  }
  WorldSettings settings;
  // Never open on presets over a file that is there but unreadable: saving them would replace
  // the user's settings.
  if (!EnsureWorldSettingsFile(paths) || !LoadWorldSettings(paths, settings)) {
    ShowWorldSettingsUnreadable(prompt);
    return;
  }
  paths_ = paths;
  prompt_ = &prompt;
  errorPrompt_ = &prompt;
  editor_.emplace(std::move(settings));
  if (!CreateBaseWindow(kClassName, Widen(kTitle).c_str(),
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, kWidth, kHeight,
                        owner)) {
    editor_.reset();
    return;
  }
  ::ShowWindow(window_, SW_SHOW);
}

void RevealWorldSettingsFile(const ServerPaths& paths, Prompt& prompt) {
  if (!EnsureWorldSettingsFile(paths)) {
    ShowWorldSettingsUnreadable(prompt);
    return;
  }
  RevealInExplorer(WorldSettingsFile(paths));
}

}  // namespace tidemoor
