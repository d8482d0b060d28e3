#include "mods/import_source_picker_win.h"

#include <shobjidl.h>

#include "platform/automation_win.h"
#include "platform/codepage_win.h"
#include "platform/com_ptr_win.h"

namespace tidemoor {
namespace {

enum Choice : UINT_PTR { kArchive = 1, kFolder = 2 };

class PopupMenu {
 public:
  PopupMenu() : menu_(::CreatePopupMenu()) {}
  ~PopupMenu() {
    if (menu_) ::DestroyMenu(menu_);
  }
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;
  HMENU get() const { return menu_; }

 private:
  HMENU menu_;
};

class TaskMemoryText {
 public:
  TaskMemoryText() = default;
  ~TaskMemoryText() { ::CoTaskMemFree(text_); }
  TaskMemoryText(const TaskMemoryText&) = delete;
  TaskMemoryText& operator=(const TaskMemoryText&) = delete;
  PWSTR* put() { return &text_; }
  std::string Utf8() const { return text_ ? Narrow(text_) : std::string(); }

 private:
  PWSTR text_ = nullptr;
};

std::optional<std::string> PickWithDialog(HWND owner, bool folder) {
  const ComScope com;
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(dialog.put())))) {
    return std::nullopt;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  options |=
      FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | (folder ? FOS_PICKFOLDERS : FOS_FILEMUSTEXIST);
  dialog->SetOptions(options);
  dialog->SetTitle(folder ? L"选择模组文件夹 (含 Info.json)" : L"选择模组压缩包");
  if (!folder) {
    const COMDLG_FILTERSPEC types[] = {{L"zip 压缩包 (*.zip)", L"*.zip"}};
    dialog->SetFileTypes(1, types);
  }
  ComPtr<IShellItem> picked;
  if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(picked.put()))) return std::nullopt;
  TaskMemoryText path;
  if (FAILED(picked->GetDisplayName(SIGDN_FILESYSPATH, path.put()))) return std::nullopt;
  return path.Utf8();
}

}  // namespace

std::optional<std::string> PickModToImport(HWND owner) {
  PopupMenu menu;
  if (!menu.get()) return std::nullopt;
  ::AppendMenuW(menu.get(), MF_STRING, kArchive, L"zip 压缩包...");
  ::AppendMenuW(menu.get(), MF_STRING, kFolder, L"文件夹...");
  POINT at{};
  ::GetCursorPos(&at);
  // The menu closes when the host clicks elsewhere only while its owner is in front.
  ::SetForegroundWindow(owner);
  const auto choice = static_cast<UINT_PTR>(::TrackPopupMenu(
      menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
  if (choice != kArchive && choice != kFolder) return std::nullopt;
  return PickWithDialog(owner, choice == kFolder);
}

}  // namespace tidemoor
