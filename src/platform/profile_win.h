#pragma once
// INI files kept in GBK, read and written through the profile functions whatever the system's
// code page: texts are converted to and from code page 936 explicitly.

#include <string>
#include <string_view>

#include "app/tool_settings.h"

namespace tidemoor {

// Values are read into a buffer of 10,240 bytes, so longer ones come back cut.
std::string ReadProfileText(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view fallback);
bool WriteProfileText(std::string_view file, std::string_view section, std::string_view key,
                      std::string_view value);

class GbkProfileFile : public ProfileStore {
 public:
  explicit GbkProfileFile(std::string path) : path_(std::move(path)) {}
  std::string Read(std::string_view section, std::string_view key,
                   std::string_view fallback) override {
    return ReadProfileText(path_, section, key, fallback);
  }
  void Write(std::string_view section, std::string_view key, std::string_view value) override {
    WriteProfileText(path_, section, key, value);
  }

 private:
  std::string path_;
};

}  // namespace tidemoor
