#pragma once
// Zip archives laid out byte by byte for tests: entries may declare whatever sizes, methods and
// checksums a test needs.

#include <cstdint>
#include <string>
#include <vector>

namespace tidemoor::testing {

struct ZipEntry {
  std::string name;
  std::string packed;     // the bytes as stored
  uint32_t unpackedSize;  // what the archive claims the entry unpacks to
  uint16_t method = 8;    // 8 deflated, 0 stored
  uint32_t checksum = 0;
};

inline void PutLittleEndian(std::string& out, uint64_t value, int width) {
  for (int i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string BuildZip(const std::vector<ZipEntry>& entries) {
  auto put = PutLittleEndian;
  std::string archive, directory;
  for (const ZipEntry& entry : entries) {
    const auto offset = static_cast<uint32_t>(archive.size());
    std::string common;
    put(common, 20, 2);  // version needed
    put(common, 0, 2);   // flags
    put(common, entry.method, 2);
    put(common, 0, 4);  // time and date
    put(common, entry.checksum, 4);
    put(common, static_cast<uint32_t>(entry.packed.size()), 4);
    put(common, entry.unpackedSize, 4);
    put(common, static_cast<uint32_t>(entry.name.size()), 2);
    put(common, 0, 2);  // extra length
    put(archive, 0x04034b50, 4);
    archive += common + entry.name + entry.packed;
    put(directory, 0x02014b50, 4);
    put(directory, 20, 2);  // version made by
    directory += common;
    put(directory, 0, 2);  // comment length
    put(directory, 0, 8);  // disk, internal and external attributes
    put(directory, offset, 4);
    directory += entry.name;
  }
  const auto directoryOffset = static_cast<uint32_t>(archive.size());
  archive += directory;
  put(archive, 0x06054b50, 4);
  put(archive, 0, 4);
  put(archive, static_cast<uint32_t>(entries.size()), 2);
  put(archive, static_cast<uint32_t>(entries.size()), 2);
  put(archive, static_cast<uint32_t>(directory.size()), 4);
  put(archive, directoryOffset, 4);
  put(archive, 0, 2);
  return archive;
}

}  // namespace tidemoor::testing
