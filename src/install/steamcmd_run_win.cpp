#include "install/steamcmd_run_win.h"

#include <windows.h>

#include "platform/codepage_win.h"
#include "platform/hidden_process_win.h"
#include "platform/system_error_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

// Often enough for a status line that changes every 2 s at the latest.
constexpr DWORD kReadPeriodMs = 500;

void ReadWhatCame(HANDLE file, SteamCmdRunOutput& output) {
  char bytes[16384];
  DWORD read = 0;
  while (::ReadFile(file, bytes, sizeof(bytes), &read, nullptr) && read > 0) {
    output.Feed(std::string_view(bytes, read));
  }
}

}  // namespace

void SteamCmdRunOutput::Feed(std::string_view bytes) {
  std::lock_guard<std::mutex> held(lock_);
  output_.Feed(bytes);
}

std::optional<SteamCmdProgress> SteamCmdRunOutput::Latest() const {
  std::lock_guard<std::mutex> held(lock_);
  return output_.Latest();
}

std::string SteamCmdRunOutput::LastErrorLine() const {
  std::lock_guard<std::mutex> held(lock_);
  return output_.LastErrorLine();
}

// The output goes to a file rather than a pipe: a program SteamCMD leaves behind holding the
// pipe would keep a reader waiting after the script has ended, while the file is read until the
// script's own end.
ScriptEnd RunScriptHidden(const std::string& commandLine, const std::string& outputPath,
                          SteamCmdRunOutput& output) {
  UniqueFileHandle writer = CreateOutputFile(outputPath);
  if (!writer) return {false, 0, LastSystemError()};
  UniqueFileHandle reader(::CreateFileW(Widen(outputPath).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!reader) return {false, 0, LastSystemError()};

  UniqueProcessInformation started;
  if (Outcome begun = StartHidden(commandLine, {}, writer.get(), started); !begun) {
    return {false, 0, begun.Error()};
  }
  const UniqueHandle& process = started.process;
  writer.reset();

  DWORD waited = WAIT_TIMEOUT;
  while (waited == WAIT_TIMEOUT) {
    waited = ::WaitForSingleObject(process.get(), kReadPeriodMs);
    ReadWhatCame(reader.get(), output);
  }
  DWORD code = 0;
  if (!::GetExitCodeProcess(process.get(), &code)) return {false, 0, LastSystemError()};
  return {true, code, {}, output.LastErrorLine()};
}

}  // namespace tidemoor
