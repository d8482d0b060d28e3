#pragma once
// Zip archives held in memory: Valve ships SteamCMD for Windows as one, and hosts bring mods in
// them. Nothing an archive declares is trusted before it has been checked against the archive's
// own bytes and the caps below, so a damaged or hostile archive can neither make the tool read
// outside it nor make it reserve gigabytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

struct ZipEntry {
  std::string_view name;  // as stored, inside the archive; folders end in a slash
  uint16_t method = 0;    // 0 stored, 8 deflated
  uint32_t crc32 = 0;
  uint32_t size = 0;      // unpacked
  std::string_view data;  // the packed bytes, inside the archive
  bool isFolder = false;  // a name ending in a slash, or a folder's attributes
  bool isLink = false;    // a symbolic link (its Unix mode in the external attributes)
};

// The largest unpacked entry the tool takes from an archive. SteamCMD is a few MiB; a damaged or
// hostile archive that declares gigabytes must be turned away before its size is trusted for a
// buffer.
inline constexpr uint32_t kLargestZipEntry = 64u << 20;
// What a whole archive may unpack to, together, and how many entries it may hold.
inline constexpr uint64_t kLargestZipTotal = uint64_t{2} << 30;
inline constexpr size_t kMostZipEntries = 20000;

// The entry whose whole name matches (ignoring ASCII case). Nothing when it is missing, the
// archive is damaged or truncated, or the entry is encrypted or declares more than
// kLargestZipEntry unpacked bytes.
std::optional<ZipEntry> FindZipEntry(std::string_view archive, std::string_view name);

enum class ZipFault {
  None,
  Damaged,      // not a zip archive, cut short, or an entry's bytes lie outside it
  Unsupported,  // encrypted, sizes kept in zip64 records, or packed in a way not unpacked here
  TooLarge,     // an entry or the whole archive past the caps above
};

// Every entry of the archive's directory, in its order; none at all when any entry is at fault,
// so an import decides on the whole archive before it writes anything.
struct ZipListing {
  std::vector<ZipEntry> entries;
  ZipFault fault = ZipFault::None;
};
ZipListing ListZip(std::string_view archive);

// The entry's bytes, unpacked and checked against its recorded size and checksum; nothing for an
// entry that does not unpack to exactly those.
std::optional<std::string> UnpackZipEntry(const ZipEntry& entry);

}  // namespace tidemoor
