#include "install/workshop_download.h"

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr char kGameAppId[] = "1623730";

// The last "ERROR! Download item … failed (Access Denied)." line SteamCMD printed, without its
// end of line; empty when none came.
std::string_view LastErrorLine(std::string_view output) {
  std::string_view last;
  while (!output.empty()) {
    const size_t end = output.find('\n');
    const std::string_view line = TrimBlanks(output.substr(0, end), " \t\r");
    if (line.size() >= 6 && EqualsIgnoringCase(line.substr(0, 6), "error!")) last = line;
    if (end == std::string_view::npos) break;
    output.remove_prefix(end + 1);
  }
  return last;
}

}  // namespace

std::string WorkshopDownloadArguments(std::string_view itemId) {
  return " +login anonymous +workshop_download_item " + std::string(kGameAppId) + " " +
         std::string(itemId) + " +quit";
}

std::string WorkshopItemFolder(std::string_view steamCmdFolder, std::string_view itemId) {
  return std::string(steamCmdFolder) + "steamapps\\workshop\\content\\" + kGameAppId + "\\" +
         std::string(itemId);
}

WorkshopDownloadVerdict JudgeWorkshopDownload(std::string_view output, uint32_t exitCode,
                                              bool infoJsonArrived) {
  if (infoJsonArrived && output.find("Success. Downloaded item") != std::string_view::npos) {
    return {true, {}};
  }
  const std::string_view error = LastErrorLine(output);
  const size_t open = error.rfind('(');
  const size_t close = error.rfind(')');
  if (open != std::string_view::npos && close != std::string_view::npos && close > open + 1) {
    return {false, std::string(error.substr(open + 1, close - open - 1))};
  }
  if (!error.empty()) return {false, std::string(error)};
  if (!infoJsonArrived && exitCode == 0) return {false, "下载的内容中没有 Info.json"};
  return {false, "SteamCMD 退出代码 " + std::to_string(exitCode)};
}

}  // namespace tidemoor
