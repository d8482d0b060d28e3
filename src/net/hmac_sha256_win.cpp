#include "net/hmac_sha256_win.h"

#include <windows.h>
#include <bcrypt.h>

namespace tidemoor {
namespace {

PUCHAR Bytes(std::string_view text) {
  return reinterpret_cast<PUCHAR>(const_cast<char*>(text.data()));
}

struct AlgorithmHandle {
  BCRYPT_ALG_HANDLE handle = nullptr;
  ~AlgorithmHandle() {
    if (handle) ::BCryptCloseAlgorithmProvider(handle, 0);
  }
};

struct HashHandle {
  BCRYPT_HASH_HANDLE handle = nullptr;
  ~HashHandle() {
    if (handle) ::BCryptDestroyHash(handle);
  }
};

bool Succeeded(NTSTATUS status) {
  return status >= 0;
}

}  // namespace

std::string HmacSha256(std::string_view key, std::string_view message) {
  AlgorithmHandle algorithm;
  if (!Succeeded(::BCryptOpenAlgorithmProvider(&algorithm.handle, BCRYPT_SHA256_ALGORITHM, nullptr,
                                               BCRYPT_ALG_HANDLE_HMAC_FLAG))) {
    return {};
  }
  HashHandle hash;
  if (!Succeeded(::BCryptCreateHash(algorithm.handle, &hash.handle, nullptr, 0, Bytes(key),
                                    static_cast<ULONG>(key.size()), 0))) {
    return {};
  }
  if (!message.empty() && !Succeeded(::BCryptHashData(hash.handle, Bytes(message),
                                                      static_cast<ULONG>(message.size()), 0))) {
    return {};
  }
  std::string digest(32, '\0');
  if (!Succeeded(::BCryptFinishHash(hash.handle, Bytes(digest), 32, 0))) return {};
  return digest;
}

}  // namespace tidemoor
