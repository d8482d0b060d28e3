#include "install/update_win.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "common/product.h"
#include "install/steamcmd_win.h"
#include "platform/codepage_win.h"
#include "platform/run_command_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {

void WindowsUpdateActions::DeploySteamCmd(std::function<void(SteamCmdState)> done) {
  if (!worker_) return;
  worker_->Run<SteamCmdState>(
      [paths = paths_] { return tidemoor::DeploySteamCmd(paths, kSteamCmdArchiveAddress); },
      std::move(done));
}

Outcome WindowsUpdateActions::WriteScript(const std::string& path, const std::string& text) {
  return WriteWholeFile(path, Utf8ToGbk(text));
}

void WindowsUpdateActions::OpenScript(const std::string& path,
                                      const std::string& workingDirectory) {
  ::ShellExecuteW(nullptr, L"open", Widen(path).c_str(), nullptr, Widen(workingDirectory).c_str(),
                  SW_SHOWNORMAL);
}

// SteamCMD may take as long as it likes: its worker waits, not the window. A tool closed
// meanwhile leaves it running in its console and hears nothing of its end.
void WindowsUpdateActions::RunToEnd(const std::string& commandLine, std::function<void()> done) {
  if (!worker_) return;
  auto process = std::make_shared<UniqueHandle>(StartCommandLine(commandLine, 2));
  if (!*process) {
    done();
    return;
  }
  worker_->Run([process] { ::WaitForSingleObject(process->get(), INFINITE); }, std::move(done));
}

}  // namespace tidemoor
