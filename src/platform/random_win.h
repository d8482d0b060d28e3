#pragma once
// Randomness from the system's cryptographic generator: the default administrator password is
// drawn here, so it must not be predictable.

#include <cstdint>
#include <string>

namespace tidemoor {

// A whole number from min to max inclusive; a max of 0 stands for 2147483647.
uint32_t RandomInRange(uint32_t min, uint32_t max);

// count letters from 'a' to 'z'.
std::string RandomLetters(int count);

}  // namespace tidemoor
