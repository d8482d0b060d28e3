#include "install/app_info_query_win.h"

#include <windows.h>

#include <string>

#include "common/product.h"
#include "install/steamcmd_win.h"
#include "install/update_scripts.h"
#include "platform/codepage_win.h"
#include "platform/hidden_process_win.h"
#include "platform/system_error_win.h"
#include "platform/unique_handle_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {

std::string ServerManifestFile(const ServerPaths& paths) {
  return paths.DataDir + "steamapps\\appmanifest_" + kServerAppId + ".acf";
}

AppInfoAnswer QueryAppInfo(const ServerPaths& paths, std::chrono::milliseconds limit) {
  if (DeploySteamCmd(paths, kSteamCmdArchiveAddress) != SteamCmdState::Ready) {
    return {{}, "下载 SteamCMD 失败 - 请检查网络连接"};
  }
  // SteamCMD answers from this cache when it holds the app, however old it is.
  ::DeleteFileW(Widen(paths.DataDir + "appcache\\appinfo.vdf").c_str());

  // The answer goes to a file, not a pipe: nothing has to read while SteamCMD writes, and the
  // host can look at the last answer.
  const std::string outputPath = paths.DataDir + "steamcmd_app_info.txt";
  UniqueFileHandle output = CreateOutputFile(outputPath);
  if (!output) return {{}, WithCause("无法写入 " + outputPath, LastSystemError())};

  const std::string program = SteamCmdFile(paths);
  UniqueProcessInformation started;
  if (Outcome begun = StartHidden(QuotedCommandLine(program) +
                                      " +login anonymous +app_info_update 1 +app_info_print " +
                                      kServerAppId + " +quit",
                                  paths.DataDir, output.get(), started);
      !begun) {
    return {{}, WithCause("无法启动 " + program, begun.Error())};
  }
  const UniqueHandle& process = started.process;
  output.reset();

  if (::WaitForSingleObject(process.get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.get(), 1);
    ::WaitForSingleObject(process.get(), 5000);
    return {{}, "SteamCMD 在 " + std::to_string(limit.count() / 1000) + " 秒内没有结束, 已被结束"};
  }
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.get(), &exitCode);
  WholeFile answer = ReadWholeFile(outputPath);
  if (answer.state != FileState::Read) {
    return {{}, WithCause("无法读取 " + outputPath, answer.error), exitCode};
  }
  return {std::move(answer.bytes), {}, exitCode};
}

}  // namespace tidemoor
