#include "install/zip_archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/zip_builder.h"

namespace tidemoor {
namespace {

using testing::BuildZip;

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

// Every cut and every flipped byte of a small archive either finds the entry or finds nothing;
// under the sanitizers this also proves that no offset read from the archive is trusted.
TEST(FindZipEntry, DamagedArchivesNeverReadOutsideTheirBytes) {
  const std::string archive = BuildZip({{"a.txt", "abc", 3, 0}, {"steamcmd.exe", "MZ", 2, 0}});
  for (size_t length = 0; length < archive.size(); ++length) {
    EXPECT_FALSE(FindZipEntry(archive.substr(0, length), "steamcmd.exe")) << length;
  }
  for (size_t at = 0; at < archive.size(); ++at) {
    for (const unsigned char flip : {0x01, 0x80, 0xFF}) {
      std::string damaged = archive;
      damaged[at] = static_cast<char>(damaged[at] ^ flip);
      if (const auto entry = FindZipEntry(damaged, "steamcmd.exe")) {
        EXPECT_GE(entry->data.data(), damaged.data()) << at;
        EXPECT_LE(entry->data.data() + entry->data.size(), damaged.data() + damaged.size()) << at;
        EXPECT_LE(entry->size, kLargestZipEntry) << at;
      }
    }
  }
}

}  // namespace
}  // namespace tidemoor
