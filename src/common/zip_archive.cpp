#include "common/zip_archive.h"

#include <zlib.h>

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint32_t kDirectoryEntry = 0x02014b50;
constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr size_t kEndOfDirectorySize = 22;
constexpr size_t kDirectoryEntrySize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr uint32_t kInZip64Record = 0xFFFFFFFF;

// The Unix file type in the upper half of the external attributes, and the DOS folder bit.
constexpr uint32_t kUnixTypeMask = 0170000;
constexpr uint32_t kUnixLink = 0120000;
constexpr uint32_t kUnixFolder = 0040000;
constexpr uint32_t kDosFolder = 0x10;

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

// One record of the central directory, its fields read but not yet checked against the archive.
struct DirectoryRecord {
  ZipEntry entry;
  uint32_t flags = 0;
  uint32_t packedSize = 0;
  size_t local = 0;
  size_t next = 0;  // where the record after it starts
};

class Directory {
 public:
  explicit Directory(std::string_view archive) : archive_(archive) {
    const auto end = FindEndOfDirectory(archive);
    if (!end) return;
    found_ = true;
    count_ = Read(archive, *end + 10, 2);
    at_ = Read(archive, *end + 16, 4);
  }

  bool Found() const { return found_; }
  uint32_t Count() const { return count_; }

  // The next record, or nothing when it does not lie whole inside the archive.
  std::optional<DirectoryRecord> Next() {
    if (at_ > archive_.size() || archive_.size() - at_ < kDirectoryEntrySize ||
        Read(archive_, at_, 4) != kDirectoryEntry) {
      return std::nullopt;
    }
    DirectoryRecord record;
    const uint32_t nameLength = Read(archive_, at_ + 28, 2);
    record.next = at_ + kDirectoryEntrySize + nameLength + Read(archive_, at_ + 30, 2) +
                  Read(archive_, at_ + 32, 2);
    if (record.next > archive_.size()) return std::nullopt;
    ZipEntry& entry = record.entry;
    entry.name = archive_.substr(at_ + kDirectoryEntrySize, nameLength);
    record.flags = Read(archive_, at_ + 8, 2);
    entry.method = static_cast<uint16_t>(Read(archive_, at_ + 10, 2));
    entry.crc32 = Read(archive_, at_ + 16, 4);
    record.packedSize = Read(archive_, at_ + 20, 4);
    entry.size = Read(archive_, at_ + 24, 4);
    const uint32_t attributes = Read(archive_, at_ + 38, 4);
    record.local = Read(archive_, at_ + 42, 4);
    const uint32_t unixType = (attributes >> 16) & kUnixTypeMask;
    entry.isLink = unixType == kUnixLink;
    entry.isFolder = entry.name.ends_with('/') || entry.name.ends_with('\\') ||
                     unixType == kUnixFolder || (attributes & kDosFolder) != 0;
    at_ = record.next;
    return record;
  }

 private:
  std::string_view archive_;
  bool found_ = false;
  uint32_t count_ = 0;
  size_t at_ = 0;
};

bool Encrypted(const DirectoryRecord& record) {
  return (record.flags & 1) != 0;
}

bool InZip64(const DirectoryRecord& record) {
  return record.packedSize == kInZip64Record || record.entry.size == kInZip64Record ||
         record.local == kInZip64Record;
}

// The packed bytes, found through the entry's local header; false when they lie outside.
bool LocateData(std::string_view archive, DirectoryRecord& record) {
  const size_t local = record.local;
  if (local > archive.size() || archive.size() - local < kLocalHeaderSize ||
      Read(archive, local, 4) != kLocalHeader) {
    return false;
  }
  const size_t data =
      local + kLocalHeaderSize + Read(archive, local + 26, 2) + Read(archive, local + 28, 2);
  if (data > archive.size() || archive.size() - data < record.packedSize) return false;
  record.entry.data = archive.substr(data, record.packedSize);
  return true;
}

ZipFault Check(std::string_view archive, DirectoryRecord& record) {
  if (Encrypted(record) || InZip64(record)) return ZipFault::Unsupported;
  if (record.entry.size > kLargestZipEntry) return ZipFault::TooLarge;
  if (!record.entry.isFolder && record.entry.method != 0 && record.entry.method != 8) {
    return ZipFault::Unsupported;
  }
  return LocateData(archive, record) ? ZipFault::None : ZipFault::Damaged;
}

std::optional<std::string> Inflate(std::string_view packed, uint32_t size) {
  // One byte to spare: a stream that would unpack to more than the recorded size fills it and is
  // refused, instead of stopping exactly at the end of the buffer.
  std::string out(size + 1, '\0');
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;  // raw deflate, as in zip
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  stream.avail_in = static_cast<uInt>(packed.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&stream, Z_FINISH);
  const bool complete = result == Z_STREAM_END && stream.total_out == size;
  inflateEnd(&stream);
  if (!complete) return std::nullopt;
  out.resize(size);
  return out;
}

}  // namespace

std::optional<ZipEntry> FindZipEntry(std::string_view archive, std::string_view name) {
  Directory directory(archive);
  if (!directory.Found()) return std::nullopt;
  for (uint32_t i = 0; i < directory.Count(); ++i) {
    std::optional<DirectoryRecord> record = directory.Next();
    if (!record) return std::nullopt;
    if (!EqualsIgnoringCase(record->entry.name, name)) continue;
    if (Encrypted(*record) || record->packedSize == kInZip64Record ||
        record->entry.size > kLargestZipEntry || !LocateData(archive, *record)) {
      return std::nullopt;
    }
    return record->entry;
  }
  return std::nullopt;
}

ZipListing ListZip(std::string_view archive) {
  ZipListing listing;
  Directory directory(archive);
  if (!directory.Found()) {
    listing.fault = ZipFault::Damaged;
    return listing;
  }
  if (directory.Count() > kMostZipEntries) {
    listing.fault = ZipFault::TooLarge;
    return listing;
  }
  uint64_t total = 0;
  for (uint32_t i = 0; i < directory.Count(); ++i) {
    std::optional<DirectoryRecord> record = directory.Next();
    ZipFault fault = record ? Check(archive, *record) : ZipFault::Damaged;
    if (fault == ZipFault::None) {
      total += record->entry.size;
      if (total > kLargestZipTotal) fault = ZipFault::TooLarge;
    }
    if (fault != ZipFault::None) {
      listing.entries.clear();
      listing.fault = fault;
      return listing;
    }
    listing.entries.push_back(record->entry);
  }
  return listing;
}

std::optional<std::string> UnpackZipEntry(const ZipEntry& entry) {
  if (entry.size > kLargestZipEntry) return std::nullopt;
  std::optional<std::string> bytes;
  if (entry.method == 0 && entry.data.size() == entry.size) {
    bytes = std::string(entry.data);
  } else if (entry.method == 8) {
    bytes = Inflate(entry.data, entry.size);
  }
  if (!bytes || crc32(0, reinterpret_cast<const Bytef*>(bytes->data()),
                      static_cast<uInt>(bytes->size())) != entry.crc32) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace tidemoor
