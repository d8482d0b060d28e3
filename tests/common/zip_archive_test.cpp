#include "common/zip_archive.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/zip_builder.h"

namespace tidemoor {
namespace {

using testing::BuildZip;
using testing::MakeZip;

TEST(FindZipEntry, FindsTheNamedEntryWhateverItsCase) {
  const std::string archive = BuildZip({{"readme.txt", "hello", 5, 0},
                                        {"SteamCMD.exe", "packed", 1000},
                                        {"bin/steamcmd.exe", "x", 1}});
  const auto entry = FindZipEntry(archive, "steamcmd.exe");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->data, "packed");
  EXPECT_EQ(entry->size, 1000u);
  EXPECT_EQ(entry->method, 8);
  EXPECT_FALSE(FindZipEntry(archive, "steamcmd"));
  EXPECT_FALSE(FindZipEntry(archive, "readme.txt2"));
}

// Whatever an entry declares, the tool sizes a buffer by it: a tiny archive must not be able to
// make it allocate gigabytes.
TEST(FindZipEntry, TurnsAwayEntriesDeclaringMoreThanTheLargestSize) {
  const std::string huge = BuildZip({{"steamcmd.exe", "MZ", 0xFFFFFFFE}});
  EXPECT_EQ(huge.size(), 124u);
  EXPECT_FALSE(FindZipEntry(huge, "steamcmd.exe"));

  EXPECT_FALSE(
      FindZipEntry(BuildZip({{"steamcmd.exe", "MZ", kLargestZipEntry + 1}}), "steamcmd.exe"));
  EXPECT_FALSE(FindZipEntry(BuildZip({{"steamcmd.exe", "MZ", 0xFFFFFFFF}}), "steamcmd.exe"));
  const auto largest =
      FindZipEntry(BuildZip({{"steamcmd.exe", "MZ", kLargestZipEntry}}), "steamcmd.exe");
  ASSERT_TRUE(largest);
  EXPECT_EQ(largest->size, 64u << 20);

  // A huge entry elsewhere in the archive does not hide the one asked for.
  const std::string mixed = BuildZip({{"big.bin", "x", 0xF0000000}, {"steamcmd.exe", "MZ", 2, 0}});
  EXPECT_FALSE(FindZipEntry(mixed, "big.bin"));
  ASSERT_TRUE(FindZipEntry(mixed, "steamcmd.exe"));
}

// Every cut and every flipped byte of a small archive either finds the entry or finds nothing, and
// lists entries that lie inside its bytes or nothing; under the sanitizers this also proves that
// no offset read from the archive is trusted.
TEST(FindZipEntry, DamagedArchivesNeverReadOutsideTheirBytes) {
  const std::string archive = BuildZip({{"a.txt", "abc", 3, 0}, {"steamcmd.exe", "MZ", 2, 0}});
  const auto inside = [](const ZipEntry& entry, const std::string& bytes) {
    return entry.data.data() >= bytes.data() && entry.name.data() >= bytes.data() &&
           entry.data.data() + entry.data.size() <= bytes.data() + bytes.size() &&
           entry.name.data() + entry.name.size() <= bytes.data() + bytes.size() &&
           entry.size <= kLargestZipEntry;
  };
  for (size_t length = 0; length < archive.size(); ++length) {
    EXPECT_FALSE(FindZipEntry(archive.substr(0, length), "steamcmd.exe")) << length;
    EXPECT_NE(ListZip(archive.substr(0, length)).fault, ZipFault::None) << length;
  }
  for (size_t at = 0; at < archive.size(); ++at) {
    for (const unsigned char flip : {0x01, 0x80, 0xFF}) {
      std::string damaged = archive;
      damaged[at] = static_cast<char>(damaged[at] ^ flip);
      if (const auto entry = FindZipEntry(damaged, "steamcmd.exe")) {
        EXPECT_TRUE(inside(*entry, damaged)) << at;
      }
      for (const ZipEntry& entry : ListZip(damaged).entries) {
        EXPECT_TRUE(inside(entry, damaged)) << at;
      }
    }
  }
}

// What a whole-archive import sees of each entry; folders and links are told apart by their names
// and attributes as Windows, Unix and macOS tools record them.
TEST(ListZip, ListsEveryEntryWithWhatItIs) {
  const std::string archive = BuildZip({
      {"Mod/", "", 0, 0},
      {"Mod/Paks/big.pak", "packed", 5000},
      {"Mod\\Scripts\\", "", 0, 0},
      {"Dos", "", 0, 0, 0, 0x10},
      {"UnixFolder", "", 0, 0, 0, 0040755u << 16},
      {"Mod/link", "../../etc", 9, 0, 0, 0120777u << 16},
      {"Mod/plain", "x", 1, 0, 0, (0100644u << 16) | 0x20},
  });
  const ZipListing listing = ListZip(archive);  // its entries point into the archive's bytes
  ASSERT_EQ(listing.fault, ZipFault::None);
  std::vector<std::string> seen;
  for (const ZipEntry& e : listing.entries) {
    seen.push_back(std::string(e.name) + " " + std::to_string(e.size) + " " +
                   std::to_string(e.method) + (e.isFolder ? " folder" : "") +
                   (e.isLink ? " link" : ""));
  }
  EXPECT_EQ(seen,
            (std::vector<std::string>{
                "Mod/ 0 0 folder", "Mod/Paks/big.pak 5000 8", "Mod\\Scripts\\ 0 0 folder",
                "Dos 0 0 folder", "UnixFolder 0 0 folder", "Mod/link 9 0 link", "Mod/plain 1 0"}));
  EXPECT_EQ(listing.entries[1].data, "packed");
}

// One entry at fault turns the whole archive away, before any of it is unpacked.
TEST(ListZip, RefusesTheWholeArchiveForOneEntryAtFault) {
  const auto many = [](size_t count, uint32_t size) {
    std::vector<testing::ZipEntry> entries;
    for (size_t i = 0; i < count; ++i) entries.push_back({std::to_string(i), "x", size, 0});
    return BuildZip(entries);
  };
  const testing::ZipEntry good = {"a.txt", "abc", 3, 0};
  const struct {
    const char* what;
    std::string archive;
    ZipFault fault;
  } cases[] = {
      {"encrypted", BuildZip({good, {"b", "x", 1, 0, 0, 0, 1}}), ZipFault::Unsupported},
      {"size kept in a zip64 record", BuildZip({good, {"b", "x", 0xFFFFFFFF}}),
       ZipFault::Unsupported},
      {"packed in a way not unpacked here", BuildZip({good, {"b", "x", 1, 12}}),
       ZipFault::Unsupported},
      {"a folder's method does not matter", BuildZip({good, {"b/", "", 0, 12}}), ZipFault::None},
      {"one entry past the largest", BuildZip({good, {"b", "x", kLargestZipEntry + 1}}),
       ZipFault::TooLarge},
      {"entries up to the largest total", many(32, kLargestZipEntry), ZipFault::None},
      {"entries past the largest total", many(33, kLargestZipEntry), ZipFault::TooLarge},
      {"as many entries as allowed", many(kMostZipEntries, 1), ZipFault::None},
      {"one entry more", many(kMostZipEntries + 1, 1), ZipFault::TooLarge},
      {"not an archive", "<html>Not found</html>", ZipFault::Damaged},
      {"cut short", BuildZip({good, good}).substr(0, 100), ZipFault::Damaged},
  };
  for (const auto& c : cases) {
    const ZipListing listing = ListZip(c.archive);
    EXPECT_EQ(listing.fault, c.fault) << c.what;
    if (c.fault != ZipFault::None) {
      EXPECT_TRUE(listing.entries.empty()) << c.what;
    }
  }
}

// An entry is handed out only when it unpacks to exactly what the archive recorded.
TEST(UnpackZipEntry, GivesTheBytesOnlyWhenSizeAndChecksumHold) {
  std::string content;
  for (int i = 0; i < 50000; ++i) content += static_cast<char>((i * 7919) >> 5);
  const std::string archive = MakeZip({{"packed", content},
                                       {"stored", content, false},
                                       {"empty", ""},
                                       {"empty-stored", "", false}});
  const ZipListing listing = ListZip(archive);
  ASSERT_EQ(listing.entries.size(), 4u);
  for (size_t i = 0; i < 2; ++i) EXPECT_EQ(UnpackZipEntry(listing.entries[i]), content) << i;
  for (size_t i = 2; i < 4; ++i) EXPECT_EQ(UnpackZipEntry(listing.entries[i]), "") << i;

  const auto changed = [&](size_t index, const std::function<void(ZipEntry&)>& change) {
    ZipEntry entry = listing.entries[index];
    change(entry);
    return entry;
  };
  const struct {
    const char* what;
    ZipEntry entry;
  } refused[] = {
      {"checksum differs", changed(0, [](ZipEntry& e) { e.crc32 ^= 1; })},
      {"unpacks to more than recorded", changed(0, [](ZipEntry& e) { --e.size; })},
      {"unpacks to less than recorded", changed(0, [](ZipEntry& e) { ++e.size; })},
      {"stream cut short",
       changed(0, [](ZipEntry& e) { e.data = e.data.substr(0, e.data.size() / 2); })},
      {"stored bytes fewer than recorded",
       changed(1, [](ZipEntry& e) { e.data.remove_suffix(1); })},
      {"unknown method", changed(0, [](ZipEntry& e) { e.method = 12; })},
      {"more than the largest entry",
       changed(0, [](ZipEntry& e) { e.size = kLargestZipEntry + 1; })},
  };
  for (const auto& c : refused) EXPECT_EQ(UnpackZipEntry(c.entry), std::nullopt) << c.what;
}

}  // namespace
}  // namespace tidemoor
