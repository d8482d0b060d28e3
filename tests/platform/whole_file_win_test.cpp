// A file read whole with a limit is read no further than one byte past it, so a file that grows
// while it is read cannot make the tool hold more than the limit.

#include "platform/whole_file_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/e2e_win.h"

namespace tidemoor {
namespace {

TEST(ReadWholeFile, AFileLongerThanTheLimitIsNotRead) {
  testing::TempToolDirectory dir("limit");
  const struct {
    size_t bytes;
    size_t limit;
    bool read;
  } cases[] = {
      {0, 0, true},          {1, 0, false},        {10, 10, true},
      {11, 10, false},       {40000, 40000, true}, {40001, 40000, false},
      {40000, 16383, false}, {16384, 16384, true}, {16385, 16384, false},
  };
  for (const auto& c : cases) {
    dir.WriteBytes("file.bin", std::string(c.bytes, 'x'));
    const WholeFile file = ReadWholeFile(dir.File("file.bin"), c.limit);
    EXPECT_EQ(file.state, c.read ? FileState::Read : FileState::Unreadable)
        << c.bytes << " bytes, limit " << c.limit;
    EXPECT_EQ(file.bytes.size(), c.read ? c.bytes : 0) << c.bytes << " bytes, limit " << c.limit;
    if (!c.read) {
      EXPECT_EQ(file.error.code, static_cast<uint32_t>(ERROR_FILE_TOO_LARGE));
    }
  }
}

}  // namespace
}  // namespace tidemoor
