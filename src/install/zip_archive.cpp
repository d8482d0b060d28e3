#include "install/zip_archive.h"

#include <algorithm>

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint32_t kDirectoryEntry = 0x02014b50;
constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr size_t kEndOfDirectorySize = 22;
constexpr size_t kDirectoryEntrySize = 46;
constexpr size_t kLocalHeaderSize = 30;

// Little-endian fields at an offset the caller has checked to be inside the archive.
uint32_t Read(std::string_view bytes, size_t offset, int width) {
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return value;
}

std::optional<size_t> FindEndOfDirectory(std::string_view archive) {
  if (archive.size() < kEndOfDirectorySize) return std::nullopt;
  // The record ends the archive, followed only by a comment of at most 65,535 bytes.
  const size_t last = archive.size() - kEndOfDirectorySize;
  const size_t first = last > 0xFFFF ? last - 0xFFFF : 0;
  for (size_t at = last + 1; at-- > first;) {
    if (Read(archive, at, 4) == kEndOfDirectory) return at;
  }
  return std::nullopt;
}

}  // namespace

std::optional<ZipEntry> FindZipEntry(std::string_view archive, std::string_view name) {
  const auto end = FindEndOfDirectory(archive);
  if (!end) return std::nullopt;
  const uint32_t count = Read(archive, *end + 10, 2);
  size_t at = Read(archive, *end + 16, 4);
  for (uint32_t i = 0; i < count; ++i) {
    if (at > archive.size() || archive.size() - at < kDirectoryEntrySize ||
        Read(archive, at, 4) != kDirectoryEntry) {
      return std::nullopt;
    }
    const uint32_t nameLength = Read(archive, at + 28, 2);
    const size_t next = at + kDirectoryEntrySize + nameLength + Read(archive, at + 30, 2) +
                        Read(archive, at + 32, 2);
    if (next > archive.size()) return std::nullopt;
    if (!EqualsIgnoringCase(archive.substr(at + kDirectoryEntrySize, nameLength), name)) {
      at = next;
      continue;
    }

    ZipEntry entry;
    const uint32_t flags = Read(archive, at + 8, 2);
    entry.method = static_cast<uint16_t>(Read(archive, at + 10, 2));
    entry.crc32 = Read(archive, at + 16, 4);
    const uint32_t packedSize = Read(archive, at + 20, 4);
    entry.size = Read(archive, at + 24, 4);
    const size_t local = Read(archive, at + 42, 4);
    if ((flags & 1) != 0 || packedSize == 0xFFFFFFFF || entry.size > kLargestZipEntry) {
      return std::nullopt;  // encrypted, sizes kept in zip64 records, or too large to unpack
    }
    if (local > archive.size() || archive.size() - local < kLocalHeaderSize ||
        Read(archive, local, 4) != kLocalHeader) {
      return std::nullopt;
    }
    const size_t data =
        local + kLocalHeaderSize + Read(archive, local + 26, 2) + Read(archive, local + 28, 2);
    if (data > archive.size() || archive.size() - data < packedSize) return std::nullopt;
    entry.data = archive.substr(data, packedSize);
    return entry;
  }
  return std::nullopt;
}

}  // namespace tidemoor
