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

constexpr int kWidth = WorldSettingsWindow::kKind.width;
constexpr int kHeight = WorldSettingsWindow::kKind.height;
constexpr int kValueColumn = 4;
constexpr UINT_PTR kNumberFilterId = 0x7B00;

// The group box at (6, 4) frames the others; places are in the window's client area.
constexpr int kGroupX = 6, kGroupY = 4;
constexpr int kListWidth = 678, kListHeight = 400;
// While the server runs the list gives up a line to the note below it.
constexpr int kListHeightWithNote = 378;
constexpr UINT kRunningTimerMilliseconds = 1000;

constexpr int TickBoxId(size_t index) {
  return ControlNumber(Id::FirstTickBox) + static_cast<int>(index);
}

// The tick boxes of a list row share the place of the other editors, side by side.
ControlDefinition TickBox(int index) {
  return {TickBoxId(index),
          ControlKind::CheckBox,
          "",
          kGroupX + 16 + 92 * index,
          kGroupY + 464,
          88,
          24};
}
const ControlDefinition kControls[] = {
    {ControlNumber(Id::Group), ControlKind::GroupBox, "游戏设置项目", kGroupX, kGroupY, 696, 498},
    {ControlNumber(Id::List), ControlKind::ReportList, "", kGroupX + 8, kGroupY + 17, kListWidth,
     kListHeight, kHeaderless},
    {ControlNumber(Id::HelpLabel), ControlKind::Label, "我是项目的注释文本，请看这里~~",
     kGroupX + 8, kGroupY + 422, 678, 24, kEndEllipsis},
    {ControlNumber(Id::KeyLabel), ControlKind::Label, "<当前选中的值注释文本>", kGroupX + 8,
     kGroupY + 446, 554, 16},
    {ControlNumber(Id::ValueEdit), ControlKind::Edit, "Brqm.TOLPXuna", kGroupX + 8, kGroupY + 464,
     554, 24},
    {ControlNumber(Id::ValueBox), ControlKind::CheckBox, "启用此设置选项", kGroupX + 16,
     kGroupY + 464, 112, 24},
    {ControlNumber(Id::SaveButton), ControlKind::Button, "保存全部设置", kGroupX + 570,
     kGroupY + 464, 116, 24},
    {ControlNumber(Id::ChoiceBox), ControlKind::DropDownList, "", kGroupX + 8, kGroupY + 464, 554,
     200},
    {ControlNumber(Id::RunningNote), ControlKind::Label, kRunningNote, kGroupX + 8,
     kGroupY + 17 + kListHeightWithNote + 2, 678, 20},
    TickBox(0),
    TickBox(1),
    TickBox(2),
    TickBox(3),
    TickBox(4),
    TickBox(5),
};
static_assert(kMostTickBoxes == 6, "one tick box in the table per list word");

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

LRESULT WorldSettingsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(static_cast<Id>(LOWORD(wParam)), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
      return 0;
    case WM_TIMER:
      if (wParam == kServerStateTimer) ShowRunningNote();
      return 0;
    case WM_NCDESTROY:
      ::KillTimer(window_, kServerStateTimer);
      editor_.reset();
      font_.reset();
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

void WorldSettingsWindow::OnCreate(UINT dpi) {
  CreateControlsForDpi(window_, kControls, dpi, font_);
  for (Id hidden : {Id::ValueBox, Id::ChoiceBox, Id::RunningNote}) {
    ::ShowWindow(Control(hidden), SW_HIDE);
  }
  for (size_t i = 0; i < kMostTickBoxes; ++i) {
    ::ShowWindow(::GetDlgItem(window_, TickBoxId(i)), SW_HIDE);
  }
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
  PlaceControls(dpi);
  FillList();
  ShowRunningNote();
  ::SetTimer(window_, kServerStateTimer, kRunningTimerMilliseconds, nullptr);

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
  if (noteShown_) {
    ::SetWindowPos(Control(Id::List), nullptr, 0, 0, ScaleForDpi(kListWidth, dpi),
                   ScaleForDpi(kListHeightWithNote, dpi),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool WorldSettingsWindow::ServerRuns() const {
  return server_.isRunning && server_.isRunning();
}

void WorldSettingsWindow::ShowRunningNote() {
  const bool runs = ServerRuns();
  if (runs == noteShown_) return;
  noteShown_ = runs;
  ::ShowWindow(Control(Id::RunningNote), runs ? SW_SHOW : SW_HIDE);
  PlaceControls(WindowDpi(window_));
}

void WorldSettingsWindow::FillList() {
  HWND list = Control(Id::List);
  for (int i = 0; i < editor_->RowCount(); ++i) {
    const SettingEntry row = editor_->ListedRow(i);
    std::wstring key = Widen(row.Key);
    LVITEMW item{LVIF_TEXT};
    item.iItem = i;
    item.pszText = key.data();
    ListView_InsertItem(list, &item);
    SetCell(i, 1, row.DisplayName);
    SetCell(i, 2, row.Help);
    SetCell(i, 3, row.Kind);
    SetCell(i, kValueColumn, row.Value);
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
  ShowEditor(view);
}

// Exactly one editor is on show, the one that fits the row; none when no row is selected.
void WorldSettingsWindow::ShowEditor(const RowView& view) {
  const bool boxShown = view.editor == ValueEditor::CheckBox;
  const bool editShown =
      view.editor == ValueEditor::TextBox || view.editor == ValueEditor::NumberBox;
  const bool choiceShown = view.editor == ValueEditor::ChoiceBox;
  ::ShowWindow(Control(Id::ValueBox), boxShown ? SW_SHOW : SW_HIDE);
  ::ShowWindow(Control(Id::ValueEdit), editShown ? SW_SHOW : SW_HIDE);
  ::ShowWindow(Control(Id::ChoiceBox), choiceShown ? SW_SHOW : SW_HIDE);
  for (size_t i = 0; i < kMostTickBoxes; ++i) {
    HWND tick = ::GetDlgItem(window_, TickBoxId(i));
    const bool shown = view.editor == ValueEditor::TickBoxes && i < view.choices.size();
    if (shown) {
      SetWindowTextUtf8(tick, view.choices[i]);
      ::SendMessageW(tick, BM_SETCHECK, view.tickedChoices[i] ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ::ShowWindow(tick, shown ? SW_SHOW : SW_HIDE);
  }
  if (editShown) {
    numbersOnly_ = view.editor == ValueEditor::NumberBox;
    ::SendMessageW(Control(Id::ValueEdit), EM_SETREADONLY, view.readOnly, 0);
    ShowInEditBox(view.text);
  }
  if (boxShown) {
    ::SendMessageW(Control(Id::ValueBox), BM_SETCHECK, view.ticked ? BST_CHECKED : BST_UNCHECKED,
                   0);
  }
  if (choiceShown) {
    HWND choices = Control(Id::ChoiceBox);
    ::SendMessageW(choices, CB_RESETCONTENT, 0, 0);
    for (const std::string& choice : view.choices) {
      ::SendMessageW(choices, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(choice).c_str()));
    }
    ::SendMessageW(choices, CB_SETCURSEL, view.chosen, 0);
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
  } else if (id == Id::ChoiceBox && code == CBN_SELCHANGE) {
    const auto choice =
        static_cast<int>(::SendMessageW(Control(Id::ChoiceBox), CB_GETCURSEL, 0, 0));
    SetCell(editor_->EditedRow(), kValueColumn, editor_->ChooseValue(choice));
  } else if (id >= Id::FirstTickBox && code == BN_CLICKED) {
    const int choice = ControlNumber(id) - ControlNumber(Id::FirstTickBox);
    const bool ticked =
        ::SendMessageW(::GetDlgItem(window_, TickBoxId(choice)), BM_GETCHECK, 0, 0) == BST_CHECKED;
    SetCell(editor_->EditedRow(), kValueColumn, editor_->TickChoice(choice, ticked));
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
  if (const std::optional<SaveRefusal> refusal = editor_->RefuseSave()) {
    HWND list = Control(Id::List);
    ListView_SetItemState(list, refusal->row, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, refusal->row, FALSE);
    prompt_->Ask(refusal->message, " Error", PromptStyle::Error);
    return;
  }
  WorldSettings toSave = editor_->Settings();
  WorldSettings onDisk;
  if (LoadWorldSettings(paths_, onDisk)) KeepValuesWrittenAtStart(onDisk, toSave);
  // A failed save keeps the window and the user's edits for another try.
  if (!SaveWorldSettings(paths_, toSave, *prompt_)) return;
  const bool runs = ServerRuns();
  ::DestroyWindow(window_);
  // Asked once the window is gone: the restart waits for the server while messages flow.
  if (runs && server_.safeRestart &&
      prompt_->Confirm(kRestartQuestion, " Restart", PromptStyle::Question)) {
    server_.safeRestart();
  }
}

void WorldSettingsWindow::Open(HWND owner, const ServerPaths& paths, Prompt& prompt,
                               ServerRestartOffer server) {
  if (BringForwardIfOpen()) return;
  WorldSettings settings;
  // Never open on presets over a file that is there but unreadable: saving them would replace
  // the user's settings.
  if (!EnsureWorldSettingsFile(paths) || !LoadWorldSettings(paths, settings)) {
    ShowWorldSettingsUnreadable(prompt);
    return;
  }
  ApplyServerDefaults(paths, settings);
  paths_ = paths;
  prompt_ = &prompt;
  server_ = std::move(server);
  noteShown_ = false;
  editor_.emplace(std::move(settings));
  if (!Make(owner, &prompt)) editor_.reset();
}

void RevealWorldSettingsFile(const ServerPaths& paths, Prompt& prompt) {
  if (!EnsureWorldSettingsFile(paths)) {
    ShowWorldSettingsUnreadable(prompt);
    return;
  }
  RevealInExplorer(WorldSettingsFile(paths));
}

}  // namespace tidemoor
