#pragma once
// SHA-1, SHA-256, PBKDF2-HMAC-SHA1 and AES through the system's cryptography (OpenSSL in the native
// build, CNG on Windows): the WinZip AES check runs them for every encrypted entry, where a portable
// implementation costs more than the extraction itself, and every package with a hash in the
// definition is hashed whole before it is opened.
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

class Sha256Hash {
 public:
  Sha256Hash();
  ~Sha256Hash();
  Sha256Hash(const Sha256Hash&) = delete;
  Sha256Hash& operator=(const Sha256Hash&) = delete;
  void Update(const void* data, std::size_t size);
  // The digest; the object must not be used afterwards.
  std::array<std::uint8_t, 32> Final();

 private:
  void* FState = nullptr;
};

// The SHA-256 of a whole file, read in large pieces (never the whole file at once). Throws
// std::runtime_error naming the file when it cannot be opened or read.
std::array<std::uint8_t, 32> Sha256OfFile(const std::string& utf8Path);

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
