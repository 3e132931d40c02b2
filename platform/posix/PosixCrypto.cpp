// SHA-1, PBKDF2 and AES of the native build: OpenSSL's libcrypto.
#include <openssl/evp.h>
#include <openssl/sha.h>

#include <cstring>

#include <stdexcept>

#include "platform/Crypto.h"

namespace platform {

namespace {
EVP_MD_CTX* Ctx(void* state) { return static_cast<EVP_MD_CTX*>(state); }
}  // namespace

Sha1Hash::Sha1Hash() : FState(EVP_MD_CTX_new()) {
  if (!FState || EVP_DigestInit_ex(Ctx(FState), EVP_sha1(), nullptr) != 1) throw std::runtime_error("SHA-1 is not available");
}

Sha1Hash::~Sha1Hash() { EVP_MD_CTX_free(Ctx(FState)); }

Sha1Hash::Sha1Hash(const Sha1Hash& other) : FState(EVP_MD_CTX_new()) {
  if (!FState || EVP_MD_CTX_copy_ex(Ctx(FState), Ctx(other.FState)) != 1) throw std::runtime_error("SHA-1 copy failed");
}

Sha1Hash& Sha1Hash::operator=(const Sha1Hash& other) {
  if (this != &other && EVP_MD_CTX_copy_ex(Ctx(FState), Ctx(other.FState)) != 1)
    throw std::runtime_error("SHA-1 copy failed");
  return *this;
}

void Sha1Hash::Update(const void* data, std::size_t size) { EVP_DigestUpdate(Ctx(FState), data, size); }

std::array<std::uint8_t, 20> Sha1Hash::Final() {
  std::array<std::uint8_t, 20> digest{};
  unsigned int length = 0;
  EVP_DigestFinal_ex(Ctx(FState), digest.data(), &length);
  return digest;
}

Sha256Hash::Sha256Hash() : FState(EVP_MD_CTX_new()) {
  if (!FState || EVP_DigestInit_ex(Ctx(FState), EVP_sha256(), nullptr) != 1) {
    EVP_MD_CTX_free(Ctx(FState));
    throw std::runtime_error("SHA-256 is not available");
  }
}

Sha256Hash::~Sha256Hash() { EVP_MD_CTX_free(Ctx(FState)); }

void Sha256Hash::Update(const void* data, std::size_t size) {
  if (EVP_DigestUpdate(Ctx(FState), data, size) != 1) throw std::runtime_error("SHA-256 failed");
}

std::array<std::uint8_t, 32> Sha256Hash::Final() {
  std::array<std::uint8_t, 32> digest{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(Ctx(FState), digest.data(), &length) != 1 || length != digest.size())
    throw std::runtime_error("SHA-256 failed");
  return digest;
}

AesEcbEncryptor::AesEcbEncryptor(std::string_view key) {
  const EVP_CIPHER* cipher = key.size() == 16   ? EVP_aes_128_ecb()
                             : key.size() == 24 ? EVP_aes_192_ecb()
                             : key.size() == 32 ? EVP_aes_256_ecb()
                                                : nullptr;
  if (!cipher) throw std::runtime_error("AES key of a wrong length");
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  if (!ctx || EVP_EncryptInit_ex(ctx, cipher, nullptr, reinterpret_cast<const unsigned char*>(key.data()), nullptr) != 1) {
    EVP_CIPHER_CTX_free(ctx);
    throw std::runtime_error("AES is not available");
  }
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  FState = ctx;
}

AesEcbEncryptor::~AesEcbEncryptor() { EVP_CIPHER_CTX_free(static_cast<EVP_CIPHER_CTX*>(FState)); }

void AesEcbEncryptor::EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks) {
  while (blocks > 0) {
    std::size_t n = blocks > (1u << 20) ? (1u << 20) : blocks;
    int written = 0;
    if (EVP_EncryptUpdate(static_cast<EVP_CIPHER_CTX*>(FState), out, &written, in, static_cast<int>(n * 16)) != 1 ||
        written != static_cast<int>(n * 16))
      throw std::runtime_error("AES failed");
    in += n * 16;
    out += n * 16;
    blocks -= n;
  }
}

// PBKDF2 over the bare SHA-1 block function: the padded keys are absorbed once, and each of the
// 1,000 iterations of every output block is two block transforms of a message already padded in
// place, where OpenSSL's own PBKDF2 allocates and clears contexts for every HMAC (it runs for
// every AES entry: 4,000 HMACs for a 256-bit key).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
namespace {
// The 20-byte digest of a state, big-endian.
void StateDigest(const SHA_CTX& c, unsigned char* digest) {
  const SHA_LONG h[5] = {c.h0, c.h1, c.h2, c.h3, c.h4};
  for (int i = 0; i < 5; ++i)
    for (int k = 0; k < 4; ++k) digest[4 * i + k] = static_cast<unsigned char>(h[i] >> (24 - 8 * k));
}
}  // namespace

std::string Pbkdf2HmacSha1(std::string_view password, std::string_view salt, int iterations, std::size_t length) {
  unsigned char key[64] = {};
  if (password.size() > 64)
    SHA1(reinterpret_cast<const unsigned char*>(password.data()), password.size(), key);
  else
    std::memcpy(key, password.data(), password.size());
  unsigned char ipad[64], opad[64];
  for (int i = 0; i < 64; ++i) {
    ipad[i] = static_cast<unsigned char>(key[i] ^ 0x36);
    opad[i] = static_cast<unsigned char>(key[i] ^ 0x5C);
  }
  SHA_CTX innerStart, outerStart;
  SHA1_Init(&innerStart);
  SHA1_Update(&innerStart, ipad, 64);
  SHA1_Init(&outerStart);
  SHA1_Update(&outerStart, opad, 64);
  // A 20-byte message after the 64-byte pad, padded to one block: 0x80, zeros, 672 bits.
  unsigned char block[64] = {};
  block[20] = 0x80;
  block[62] = (64 + 20) * 8 >> 8;
  block[63] = static_cast<unsigned char>((64 + 20) * 8);
  auto hmacOfDigest = [&](unsigned char* u) {
    std::memcpy(block, u, 20);
    SHA_CTX c = innerStart;
    SHA1_Transform(&c, block);
    StateDigest(c, block);
    c = outerStart;
    SHA1_Transform(&c, block);
    StateDigest(c, u);
  };
  std::string out;
  std::string first(salt);
  first.append(4, '\0');
  for (std::uint32_t index = 1; out.size() < length; ++index) {
    for (int i = 0; i < 4; ++i) first[salt.size() + static_cast<std::size_t>(i)] = static_cast<char>(index >> (24 - 8 * i));
    unsigned char u[SHA_DIGEST_LENGTH], t[SHA_DIGEST_LENGTH];
    SHA_CTX c = innerStart;
    SHA1_Update(&c, first.data(), first.size());
    SHA1_Final(u, &c);
    c = outerStart;
    SHA1_Update(&c, u, sizeof u);
    SHA1_Final(u, &c);
    std::memcpy(t, u, sizeof t);
    for (int i = 1; i < iterations; ++i) {
      hmacOfDigest(u);
      for (std::size_t j = 0; j < sizeof t; ++j) t[j] ^= u[j];
    }
    out.append(reinterpret_cast<const char*>(t), sizeof t);
  }
  out.resize(length);
  return out;
}
#pragma GCC diagnostic pop

}  // namespace platform
