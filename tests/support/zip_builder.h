#pragma once
// Zip archives laid out byte by byte for tests: entries may declare whatever sizes, methods,
// checksums and attributes a test needs, or be packed for real as zip tools pack them.

#include <zlib.h>

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
  uint32_t externalAttributes = 0;  // a Unix mode in the upper half, DOS attributes below
  uint16_t flags = 0;               // 1: encrypted
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
    put(common, entry.flags, 2);
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
    put(directory, 0, 4);  // disk and internal attributes
    put(directory, entry.externalAttributes, 4);
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

inline std::string Deflate(const std::string& bytes) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

struct ZipFile {
  std::string name, content;
  bool deflated = true;
};

// A plain zip archive, laid out as common zip tools write it.
inline std::string MakeZip(const std::vector<ZipFile>& files) {
  std::vector<ZipEntry> entries;
  for (const ZipFile& file : files) {
    const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(file.content.data()),
                               static_cast<uInt>(file.content.size()));
    entries.push_back({file.name, file.deflated ? Deflate(file.content) : file.content,
                       static_cast<uint32_t>(file.content.size()),
                       static_cast<uint16_t>(file.deflated ? 8 : 0), crc});
  }
  return BuildZip(entries);
}

}  // namespace tidemoor::testing
