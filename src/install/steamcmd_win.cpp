#include "install/steamcmd_win.h"

#include <windows.h>

#include <chrono>

#include "common/zip_archive.h"
#include "platform/whole_file_win.h"
#include "install/update_scripts.h"
#include "platform/http_client_win.h"
#include "platform/codepage_win.h"

namespace tidemoor {
namespace {

// The copy a build made with TIDEMOOR_STEAMCMD carries; empty without one.
std::string_view CarriedSteamCmd() {
  HRSRC resource = ::FindResourceW(nullptr, L"STEAMCMD", RT_RCDATA);
  if (!resource) return {};
  HGLOBAL loaded = ::LoadResource(nullptr, resource);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const char*>(bytes), ::SizeofResource(nullptr, resource)};
}

}  // namespace

std::optional<std::string> UnpackSteamCmd(std::string_view archive) {
  const auto entry = FindZipEntry(archive, "steamcmd.exe");
  if (!entry) return std::nullopt;
  return UnpackZipEntry(*entry);
}

SteamCmdState DeploySteamCmd(const ServerPaths& paths, std::string_view archiveAddress) {
  const std::string target = SteamCmdFile(paths);
  if (::GetFileAttributesW(Widen(target).c_str()) != INVALID_FILE_ATTRIBUTES) {
    return SteamCmdState::Ready;
  }
  std::string_view bytes = CarriedSteamCmd();
  std::optional<std::string> downloaded;
  if (bytes.empty()) {
    using namespace std::chrono_literals;
    const HttpAnswer answer = HttpGet(archiveAddress, {15s, 30s, 64u << 20});
    if (answer.status != 200) return SteamCmdState::DownloadFailed;
    downloaded = UnpackSteamCmd(answer.body);
    if (!downloaded) return SteamCmdState::DownloadFailed;
    bytes = *downloaded;
  }
  return WriteNewWholeFile(target, bytes) ? SteamCmdState::Ready : SteamCmdState::WriteFailed;
}

}  // namespace tidemoor
