#pragma once
// HMAC-SHA256 from Windows' own cryptography (CNG), for signing the chat robots' messages.

#include <string>
#include <string_view>

namespace tidemoor {

// The 32 raw bytes of the HMAC-SHA256 of message keyed by key; empty when Windows refuses.
// Safe to call from any thread.
std::string HmacSha256(std::string_view key, std::string_view message);

}  // namespace tidemoor
