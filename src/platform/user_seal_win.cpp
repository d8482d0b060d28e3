#include "platform/user_seal_win.h"

#include <windows.h>
#include <dpapi.h>

#include "platform/text.h"

namespace tidemoor {
namespace {

DATA_BLOB BlobOf(std::string_view bytes) {
  return {static_cast<DWORD>(bytes.size()),
          reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()))};
}

// The output of a DPAPI call as bytes; the system's buffer is given back.
std::string TakeBlob(DATA_BLOB& blob) {
  std::string bytes(reinterpret_cast<const char*>(blob.pbData), blob.cbData);
  ::LocalFree(blob.pbData);
  return bytes;
}

// Every DPAPI blob begins with its version (1) and the GUID of its provider, in Base64 this.
constexpr std::string_view kSealStart = "AQAAANCMnd8BFdERjHoAwE/Cl+s";

}  // namespace

std::string UserSeal::Seal(std::string_view plain) {
  DATA_BLOB in = BlobOf(plain);
  DATA_BLOB out{};
  if (!::CryptProtectData(&in, L"Tidemoor", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                          &out)) {
    return {};
  }
  return Base64(TakeBlob(out));
}

std::optional<std::string> UserSeal::Open(std::string_view sealed) {
  const std::optional<std::string> bytes = FromBase64(sealed);
  if (!bytes || bytes->empty()) return std::nullopt;
  DATA_BLOB in = BlobOf(*bytes);
  DATA_BLOB out{};
  if (!::CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                            &out)) {
    return std::nullopt;
  }
  return TakeBlob(out);
}

bool UserSeal::LooksSealed(std::string_view text) {
  return text.starts_with(kSealStart);
}

}  // namespace tidemoor
