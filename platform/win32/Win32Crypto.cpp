// SHA-1, PBKDF2 and AES of the Windows builds: CNG (bcrypt).
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

namespace {
BCRYPT_ALG_HANDLE Sha256Provider() {
  static BCRYPT_ALG_HANDLE provider = [] {
    BCRYPT_ALG_HANDLE h = nullptr;
    if (BCryptOpenAlgorithmProvider(&h, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return BCRYPT_ALG_HANDLE(nullptr);
    return h;
  }();
  if (!provider) throw std::runtime_error("SHA-256 is not available");
  return provider;
}
}  // namespace

Sha256Hash::Sha256Hash() {
  BCRYPT_HASH_HANDLE h = nullptr;
  if (BCryptCreateHash(Sha256Provider(), &h, nullptr, 0, nullptr, 0, 0) != 0) throw std::runtime_error("SHA-256 failed");
  FState = h;
}

Sha256Hash::~Sha256Hash() {
  if (FState) BCryptDestroyHash(Hash(FState));
}

void Sha256Hash::Update(const void* data, std::size_t size) {
  auto p = static_cast<PUCHAR>(const_cast<void*>(data));
  while (size > 0) {
    ULONG n = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
    if (BCryptHashData(Hash(FState), p, n, 0) != 0) throw std::runtime_error("SHA-256 failed");
    p += n;
    size -= n;
  }
}

std::array<std::uint8_t, 32> Sha256Hash::Final() {
  std::array<std::uint8_t, 32> digest{};
  if (BCryptFinishHash(Hash(FState), digest.data(), 32, 0) != 0) throw std::runtime_error("SHA-256 failed");
  return digest;
}

AesEcbEncryptor::AesEcbEncryptor(std::string_view key) {
  static BCRYPT_ALG_HANDLE aes = [] {
    BCRYPT_ALG_HANDLE h = nullptr;
    if (BCryptOpenAlgorithmProvider(&h, BCRYPT_AES_ALGORITHM, nullptr, 0) != 0) return BCRYPT_ALG_HANDLE(nullptr);
    if (BCryptSetProperty(h, BCRYPT_CHAINING_MODE, reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                          sizeof(BCRYPT_CHAIN_MODE_ECB), 0) != 0) {
      BCryptCloseAlgorithmProvider(h, 0);
      return BCRYPT_ALG_HANDLE(nullptr);
    }
    return h;
  }();
  if (!aes) throw std::runtime_error("AES is not available");
  if (key.size() != 16 && key.size() != 24 && key.size() != 32) throw std::runtime_error("AES key of a wrong length");
  BCRYPT_KEY_HANDLE h = nullptr;
  if (BCryptGenerateSymmetricKey(aes, &h, nullptr, 0, reinterpret_cast<PUCHAR>(const_cast<char*>(key.data())),
                                 static_cast<ULONG>(key.size()), 0) != 0)
    throw std::runtime_error("AES is not available");
  FState = h;
}

AesEcbEncryptor::~AesEcbEncryptor() {
  if (FState) BCryptDestroyKey(static_cast<BCRYPT_KEY_HANDLE>(FState));
}

void AesEcbEncryptor::EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) {
  while (blocks > 0) {
    std::size_t n = blocks > (1u << 20) ? (1u << 20) : blocks;
    ULONG written = 0;
    if (BCryptEncrypt(static_cast<BCRYPT_KEY_HANDLE>(FState), const_cast<PUCHAR>(in), static_cast<ULONG>(n * 16), nullptr,
                      nullptr, 0, out, static_cast<ULONG>(n * 16), &written, 0) != 0 ||
        written != n * 16)
      throw std::runtime_error("AES failed");
    in += n * 16;
    out += n * 16;
    blocks -= n;
  }
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
