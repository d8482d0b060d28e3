#pragma once
// Finding one file in a zip archive held in memory (Valve ships SteamCMD for Windows as one).

#include <cstdint>
#include <optional>
#include <string_view>

namespace tidemoor {

struct ZipEntry {
  uint16_t method = 0;  // 0 stored, 8 deflated
  uint32_t crc32 = 0;
  uint32_t size = 0;      // unpacked
  std::string_view data;  // the packed bytes, inside the archive
};

// The largest unpacked entry the tool takes from an archive. SteamCMD is a few MiB; a damaged or
// hostile archive that declares gigabytes must be turned away before its size is trusted for a
// buffer.
inline constexpr uint32_t kLargestZipEntry = 64u << 20;

// The entry whose whole name matches (ignoring ASCII case). Nothing when it is missing, the
// archive is damaged or truncated, or the entry is encrypted or declares more than
// kLargestZipEntry unpacked bytes.
std::optional<ZipEntry> FindZipEntry(std::string_view archive, std::string_view name);

}  // namespace tidemoor
