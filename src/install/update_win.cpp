#include "install/update_win.h"

#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <memory>

#include "common/product.h"
#include "install/steamcmd_run_win.h"
#include "install/steamcmd_win.h"
#include "platform/codepage_win.h"
#include "platform/system_error_win.h"
#include "platform/unique_handle_win.h"
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

namespace {

// Run on a worker: returns once the process has ended.
ScriptEnd WaitForScript(HANDLE process) {
  ::WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  if (!::GetExitCodeProcess(process, &code)) return {false, 0, LastSystemError()};
  return {true, code, {}};
}

}  // namespace

void WindowsUpdateActions::OpenScript(const std::string& path, const std::string& workingDirectory,
                                      std::function<void(const ScriptEnd&)> ended) {
  if (!consoleWatch_) return;
  const std::wstring file = Widen(path);
  const std::wstring directory = Widen(workingDirectory);
  SHELLEXECUTEINFOW info{sizeof(info)};
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpDirectory = directory.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!::ShellExecuteExW(&info)) {
    ended({false, 0, LastSystemError()});
    return;
  }
  if (!info.hProcess) return;  // handed to a program that was already running: no end to hear of
  auto process = std::make_shared<UniqueHandle>(info.hProcess);
  consoleWatch_->Run<ScriptEnd>([process] { return WaitForScript(process->get()); },
                                [ended = std::move(ended)](ScriptEnd end) { ended(end); });
}

// SteamCMD may take as long as it likes: its worker waits, not the window. A tool closed
// meanwhile leaves it running without a window and hears nothing of its end.
void WindowsUpdateActions::RunToEnd(const std::string& commandLine,
                                    InstallProgressFunction progress,
                                    std::function<void(const ScriptEnd&)> done) {
  if (!worker_) return;
  auto output = std::make_shared<SteamCmdRunOutput>();
  auto watch = std::make_shared<InstallWatch>(InstallWatch::Clock::now());
  const auto show = [output, watch, progress] {
    const auto now = InstallWatch::Clock::now();
    watch->Observe(output->Latest(), now);
    progress(watch->Status(now));
  };
  show();
  progressCheck_.Every(std::chrono::seconds(1), show);
  worker_->Run<ScriptEnd>([commandLine, outputPath = paths_.DataDir + "steamcmd_update.txt",
                           output] { return RunScriptHidden(commandLine, outputPath, *output); },
                          [this, show, progress, done = std::move(done)](ScriptEnd end) {
                            progressCheck_.Stop();
                            show();
                            InstallStatus ended;
                            ended.running = false;
                            progress(ended);
                            done(end);
                          });
}

}  // namespace tidemoor
