#include "install/workshop_download_win.h"

#include <windows.h>

#include "common/product.h"
#include "install/steamcmd_win.h"
#include "install/update_scripts.h"
#include "install/workshop_download.h"
#include "platform/codepage_win.h"
#include "platform/hidden_process_win.h"
#include "platform/system_error_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {

FetchedWorkshopItem DownloadWorkshopItem(const ServerPaths& paths, std::string_view itemId,
                                         std::chrono::milliseconds limit) {
  if (DeploySteamCmd(paths, kSteamCmdArchiveAddress) != SteamCmdState::Ready) {
    return {false, {}, "下载 SteamCMD 失败 - 请检查网络连接"};
  }
  const std::string outputPath = paths.DataDir + "steamcmd_workshop.txt";
  UniqueFileHandle output = CreateOutputFile(outputPath);
  if (!output) return {false, {}, WithCause("无法写入 " + outputPath, LastSystemError())};
  const std::string program = SteamCmdFile(paths);
  UniqueProcessInformation started;
  if (Outcome begun = StartHidden(QuotedCommandLine(program) + WorkshopDownloadArguments(itemId),
                                  paths.DataDir, output.get(), started);
      !begun) {
    return {false, {}, WithCause("无法启动 " + program, begun.Error())};
  }
  output.reset();
  if (::WaitForSingleObject(started.process.get(), static_cast<DWORD>(limit.count())) !=
      WAIT_OBJECT_0) {
    ::TerminateProcess(started.process.get(), 1);
    ::WaitForSingleObject(started.process.get(), 5000);
    return {false, {}, "SteamCMD 在 " + std::to_string(limit.count() / 60000) + " 分钟内没有结束"};
  }
  DWORD exitCode = 0;
  ::GetExitCodeProcess(started.process.get(), &exitCode);
  const std::string folder = WorkshopItemFolder(paths.DataDir, itemId);
  const bool arrived =
      ::GetFileAttributesW(Widen(folder + "\\Info.json").c_str()) != INVALID_FILE_ATTRIBUTES;
  const WorkshopDownloadVerdict verdict =
      JudgeWorkshopDownload(ReadWholeFile(outputPath).bytes, exitCode, arrived);
  return {verdict.ok, verdict.ok ? folder : std::string(), verdict.reason};
}

}  // namespace tidemoor
