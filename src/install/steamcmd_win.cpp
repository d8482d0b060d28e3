#include "install/steamcmd_win.h"

#include <windows.h>
#include <zlib.h>

#include <chrono>

#include "platform/whole_file_win.h"
#include "install/update_scripts.h"
#include "install/zip_archive.h"
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

std::optional<std::string> Inflate(std::string_view packed, uInt size) {
  std::string out(size, '\0');
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;  // raw deflate, as in zip
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  stream.avail_in = static_cast<uInt>(packed.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = size;
  const int result = inflate(&stream, Z_FINISH);
  const bool complete = result == Z_STREAM_END && stream.total_out == size;
  inflateEnd(&stream);
  if (!complete) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::string> UnpackSteamCmd(std::string_view archive) {
  const auto entry = FindZipEntry(archive, "steamcmd.exe");
  if (!entry) return std::nullopt;
  std::optional<std::string> bytes;
  if (entry->method == 0 && entry->data.size() == entry->size) {
    bytes = std::string(entry->data);
  } else if (entry->method == 8) {
    bytes = Inflate(entry->data, entry->size);
  }
  if (!bytes || crc32(0, reinterpret_cast<const Bytef*>(bytes->data()),
                      static_cast<uInt>(bytes->size())) != entry->crc32) {
    return std::nullopt;
  }
  return bytes;
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
