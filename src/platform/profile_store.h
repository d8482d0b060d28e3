#pragma once
// An INI settings file as its readers and writers see it: values by section and key, texts in
// UTF-8 whatever the file holds on disk.

#include <string>
#include <string_view>

namespace tidemoor {

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  virtual std::string Read(std::string_view section, std::string_view key,
                           std::string_view fallback) = 0;
  virtual void Write(std::string_view section, std::string_view key, std::string_view value) = 0;
};

}  // namespace tidemoor
