#include "platform/profile_win.h"

#include "platform/codepage_win.h"
#include "platform/ini_text.h"
#include "platform/text.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

// The profile functions' buffer of 10,240 bytes, less its terminator.
constexpr size_t kLongestValueBytes = 10239;

// Only the names compared and the values read or written are converted: a whole file passed
// through GBK and back loses or merges the bytes of any line that is not valid GBK.
std::string GbkNameOrValueToUtf8(std::string_view gbk) {
  return GbkToUtf8(gbk);
}

std::string Utf8NameOrValueToGbk(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

constexpr IniEncoding kGbk{&GbkNameOrValueToUtf8, &Utf8NameOrValueToGbk};

std::string ProfileFileBytes(std::string_view file) {
  const WholeFile content = ReadWholeFile(file);
  return content.state == FileState::Read ? content.bytes : std::string();
}

std::string ClippedValue(std::string value) {
  const std::string gbk = Utf8ToGbk(value);
  if (gbk.size() <= kLongestValueBytes) return value;
  return GbkToUtf8(GbkPrefix(gbk, kLongestValueBytes));
}

}  // namespace

std::string ReadProfileText(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view fallback) {
  return ClippedValue(ReadIniValue(ProfileFileBytes(file), section, key, fallback, kGbk));
}

std::vector<std::string> ReadProfileTexts(std::string_view file, std::string_view section,
                                          std::initializer_list<std::string_view> keys) {
  const std::string bytes = ProfileFileBytes(file);
  std::vector<std::string> values;
  for (const std::string_view key : keys) {
    values.push_back(ClippedValue(ReadIniValue(bytes, section, key, "", kGbk)));
  }
  return values;
}

Outcome WriteProfileText(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view value) {
  const WholeFile content = ReadWholeFile(file);
  // Writing over a file we could not read would lose everything else it holds.
  if (content.state == FileState::Unreadable) return content.error;
  const std::string after = WriteIniValue(content.bytes, section, key, value, kGbk);
  if (content.state == FileState::Read && after == content.bytes) return {};
  return ReplaceWholeFile(file, after);
}

}  // namespace tidemoor
