// SHA-1 and PBKDF2 of the Windows builds: CNG (bcrypt).
#include <windows.h>
#include <bcrypt.h>

#include <stdexcept>

#include "platform/Crypto.h"

namespace platform {

namespace {
// The algorithm providers are opened once and kept for the life of the program.
BCRYPT_ALG_HANDLE Provider(bool hmac) {
  static BCRYPT_ALG_HANDLE plain = [] {
    BCRYPT_ALG_HANDLE h = nullptr;
    BCryptOpenAlgorithmProvider(&h, BCRYPT_SHA1_ALGORITHM, nullptr, 0);
    return h;
  }();
  static BCRYPT_ALG_HANDLE keyed = [] {
    BCRYPT_ALG_HANDLE h = nullptr;
    BCryptOpenAlgorithmProvider(&h, BCRYPT_SHA1_ALGORITHM, nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG);
    return h;
  }();
  BCRYPT_ALG_HANDLE h = hmac ? keyed : plain;
  if (!h) throw std::runtime_error("SHA-1 is not available");
  return h;
}
BCRYPT_HASH_HANDLE Hash(void* state) { return static_cast<BCRYPT_HASH_HANDLE>(state); }
}  // namespace

Sha1Hash::Sha1Hash() {
  BCRYPT_HASH_HANDLE h = nullptr;
  if (BCryptCreateHash(Provider(false), &h, nullptr, 0, nullptr, 0, 0) != 0) throw std::runtime_error("SHA-1 failed");
  FState = h;
}

Sha1Hash::~Sha1Hash() {
  if (FState) BCryptDestroyHash(Hash(FState));
}

Sha1Hash::Sha1Hash(const Sha1Hash& other) {
  BCRYPT_HASH_HANDLE h = nullptr;
  if (BCryptDuplicateHash(Hash(other.FState), &h, nullptr, 0, 0) != 0) throw std::runtime_error("SHA-1 copy failed");
  FState = h;
}

Sha1Hash& Sha1Hash::operator=(const Sha1Hash& other) {
  if (this != &other) {
    Sha1Hash copy(other);
    std::swap(FState, copy.FState);
  }
  return *this;
}

void Sha1Hash::Update(const void* data, std::size_t size) {
  auto p = static_cast<PUCHAR>(const_cast<void*>(data));
  while (size > 0) {
    ULONG n = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
    if (BCryptHashData(Hash(FState), p, n, 0) != 0) throw std::runtime_error("SHA-1 failed");
    p += n;
    size -= n;
  }
}

std::array<std::uint8_t, 20> Sha1Hash::Final() {
  std::array<std::uint8_t, 20> digest{};
  if (BCryptFinishHash(Hash(FState), digest.data(), 20, 0) != 0) throw std::runtime_error("SHA-1 failed");
  return digest;
}

std::string Pbkdf2HmacSha1(std::string_view password, std::string_view salt, int iterations, std::size_t length) {
  std::string out(length, '\0');
  if (BCryptDeriveKeyPBKDF2(Provider(true), reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
                            static_cast<ULONG>(password.size()), reinterpret_cast<PUCHAR>(const_cast<char*>(salt.data())),
                            static_cast<ULONG>(salt.size()), static_cast<ULONGLONG>(iterations),
                            reinterpret_cast<PUCHAR>(out.data()), static_cast<ULONG>(length), 0) != 0)
    throw std::runtime_error("PBKDF2 failed");
  return out;
}

}  // namespace platform
