#pragma once
// SHA-1, PBKDF2-HMAC-SHA1 and AES through the system's cryptography (OpenSSL in the native build, CNG
// on Windows): the WinZip AES check runs them for every encrypted entry, where a portable
// implementation costs more than the extraction itself.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class Sha1Hash {
 public:
  Sha1Hash();
  ~Sha1Hash();
  Sha1Hash(const Sha1Hash& other);  // the state so far, to finish one copy and go on with the other
  Sha1Hash& operator=(const Sha1Hash& other);
  void Update(const void* data, std::size_t size);
  // The digest; the object must not be used afterwards.
  std::array<std::uint8_t, 20> Final();

 private:
  void* FState = nullptr;
};

// AES in ECB mode, encryption only, for making a counter-mode keystream (WinZip AES entries):
// a 16-, 24- or 32-byte key.
class AesEcbEncryptor {
 public:
  explicit AesEcbEncryptor(std::string_view key);
  ~AesEcbEncryptor();
  AesEcbEncryptor(const AesEcbEncryptor&) = delete;
  AesEcbEncryptor& operator=(const AesEcbEncryptor&) = delete;
  // Encrypts whole 16-byte blocks; in and out may be the same buffer.
  void EncryptBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t blocks);

 private:
  void* FState = nullptr;
};

std::string Pbkdf2HmacSha1(std::string_view password, std::string_view salt, int iterations, std::size_t length);

}  // namespace platform
