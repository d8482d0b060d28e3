// The CRT's rand_s draws from the system's generator without the cryptography library, which
// would be loaded at every start for the default server name and password otherwise.
#define _CRT_RAND_S
#include "platform/random_win.h"

#include <stdlib.h>

namespace tidemoor {
namespace {

uint32_t RandomWord() {
  unsigned int value = 0;
  ::rand_s(&value);
  return value;
}

}  // namespace

uint32_t RandomInRange(uint32_t min, uint32_t max) {
  if (max == 0) max = 2147483647u;
  if (max < min) return min;
  const uint64_t span = uint64_t{max} - min + 1;
  // Rejection keeps every value equally likely.
  const uint64_t limit = (uint64_t{1} << 32) - ((uint64_t{1} << 32) % span);
  uint32_t word = RandomWord();
  while (word >= limit) word = RandomWord();
  return min + static_cast<uint32_t>(word % span);
}

std::string RandomLetters(int count) {
  std::string letters;
  for (int i = 0; i < count; ++i) letters += static_cast<char>(RandomInRange('a', 'z'));
  return letters;
}

}  // namespace tidemoor
