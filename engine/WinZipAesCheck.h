#pragma once
// Checks the authentication code of a WinZip AES entry from its raw (still encrypted) bytes:
// salt, password verifier, ciphertext, 10-byte HMAC-SHA1. Used where libzip cannot check it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Crypto.h"

namespace engine {

// SHA-1 of the system's cryptography (platform/Crypto.h).
class Sha1 {
 public:
  void Update(const void* data, std::size_t size) { FHash.Update(data, size); }
  std::array<std::uint8_t, 20> Final() { return FHash.Final(); }

 private:
  platform::Sha1Hash FHash;
};

std::array<std::uint8_t, 20> HmacSha1(std::string_view key, std::string_view message);
std::string Pbkdf2HmacSha1(std::string_view password, std::string_view salt, int iterations, std::size_t length);

// Fed the raw bytes of an AES entry in pieces; strength 1, 2, 3 for 128, 192, 256 bits.
class WinZipAesCheck {
 public:
  WinZipAesCheck(std::string password, int strength);
  void Update(const char* data, std::size_t size);
  bool PasswordMatches() const;       // after the header was fed
  bool AuthenticationMatches() const;  // after every byte was fed

 private:
  void Start();
  std::string FPassword;
  std::size_t FSaltLength, FKeyLength;
  std::string FHeader;
  std::string FTail;  // the last bytes seen, of which the final 10 are the authentication code
  bool FStarted = false;
  bool FPasswordMatches = false;
  std::string FMacKey;
  Sha1 FInner;
};

}  // namespace engine
