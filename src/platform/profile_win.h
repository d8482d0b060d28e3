#pragma once
// INI files kept in GBK whatever the system's code page. The file is read and written whole and
// its bytes converted with code page 936 explicitly: the system's ANSI profile functions would
// pass the texts through the system code page, and on a Windows set to UTF-8 or to another
// double-byte code page the Chinese texts would not survive that.

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_store.h"
#include "platform/system_error.h"

namespace tidemoor {

// Values come back cut to their first 10,239 GBK bytes, as the profile functions' buffer of
// 10,240 bytes would hold them. A missing or unreadable file gives the fallback.
std::string ReadProfileText(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view fallback);
// Several keys of one section from a single reading of the file, each as ReadProfileText gives
// it with an empty fallback: one open instead of one per key, where thousands of files are read.
std::vector<std::string> ReadProfileTexts(std::string_view file, std::string_view section,
                                          std::initializer_list<std::string_view> keys);
// Fails when the file exists but could not be read, or could not be replaced: it is then as it
// was. The first write creates the file.
Outcome WriteProfileText(std::string_view file, std::string_view section, std::string_view key,
                         std::string_view value);

class GbkProfileFile : public ProfileStore {
 public:
  explicit GbkProfileFile(std::string path) : path_(std::move(path)) {}
  std::string Read(std::string_view section, std::string_view key,
                   std::string_view fallback) override {
    return ReadProfileText(path_, section, key, fallback);
  }
  void Write(std::string_view section, std::string_view key, std::string_view value) override {
    Outcome written = WriteProfileText(path_, section, key, value);
    if (!written && !failure_) failure_ = written.Error();
  }
  // Why the first write that failed did, so a save that lost settings is told once, not per key.
  const std::optional<SystemError>& Failure() const { return failure_; }

 private:
  std::string path_;
  std::optional<SystemError> failure_;
};

}  // namespace tidemoor
