#include "platform/profile_win.h"

#include "platform/codepage_win.h"
#include "platform/ini_text.h"
#include "platform/text.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

// The profile functions' buffer of 10,240 bytes, less its terminator.
constexpr size_t kLongestValueBytes = 10239;

std::string ProfileFileText(std::string_view file) {
  const WholeFile content = ReadWholeFile(file);
  return content.state == FileState::Read ? GbkToUtf8(content.bytes) : std::string();
}

std::string ClippedValue(std::string value) {
  const std::string gbk = Utf8ToGbk(value);
  if (gbk.size() <= kLongestValueBytes) return value;
  return GbkToUtf8(GbkPrefix(gbk, kLongestValueBytes));
}

}  // namespace

std::string ReadProfileText(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view fallback) {
  return ClippedValue(ReadIniValue(ProfileFileText(file), section, key, fallback));
}

std::vector<std::string> ReadProfileTexts(std::string_view file, std::string_view section,
                                          std::initializer_list<std::string_view> keys) {
  const std::string text = ProfileFileText(file);
  std::vector<std::string> values;
  for (const std::string_view key : keys) {
    values.push_back(ClippedValue(ReadIniValue(text, section, key, "")));
  }
  return values;
}

bool WriteProfileText(std::string_view file, std::string_view section, std::string_view key,
                      std::string_view value) {
  const WholeFile content = ReadWholeFile(file);
  // Writing over a file we could not read would lose everything else it holds.
  if (content.state == FileState::Unreadable) return false;
  const std::string before = GbkToUtf8(content.bytes);
  const std::string after = WriteIniValue(before, section, key, value);
  if (content.state == FileState::Read && after == before) return true;
  return ReplaceWholeFile(file, Utf8ToGbk(after));
}

}  // namespace tidemoor
