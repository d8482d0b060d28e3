#include "platform/random_win.h"

#include <windows.h>
#include <bcrypt.h>

namespace tidemoor {
namespace {

uint32_t RandomWord() {
  uint32_t value = 0;
  ::BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof(value),
                    BCRYPT_USE_SYSTEM_PREFERRED_RNG);
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
