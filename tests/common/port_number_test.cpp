#include "common/port_number.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(PortNumber, OnlyAWholeNumberFromOneTo65535IsAPort) {
  const struct {
    const char* text;
    std::optional<uint16_t> port;
  } cases[] = {
      {"8211", 8211},
      {" 8211", 8211},
      {"8211\t ", 8211},
      {"08211", 8211},
      {"1", 1},
      {"65535", 65535},
      {"0", std::nullopt},
      {"65536", std::nullopt},
      {"", std::nullopt},
      {"  ", std::nullopt},
      {"82 11", std::nullopt},
      {"+8211", std::nullopt},
      {"-1", std::nullopt},
      {"8211x", std::nullopt},
      {"0x2013", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"８２１１", 8211},
      {"　8211", 8211},
      {"８２１１分", std::nullopt},
  };
  for (const auto& [text, port] : cases) {
    EXPECT_EQ(ParsePortNumber(text), port) << "\"" << text << "\"";
  }
}

}  // namespace
}  // namespace tidemoor
