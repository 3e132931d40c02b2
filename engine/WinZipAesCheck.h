#pragma once
// Decrypts a WinZip AES entry and checks its password verifier and authentication code: salt,
// password verifier, ciphertext (AES in counter mode, WinZip's little-endian counter from 1),
// 10-byte HMAC-SHA1, all from one key derivation.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
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

// One AES entry, strength 1, 2, 3 for 128, 192, 256 bits, fed by a reader that knows where its
// parts lie: the salt and the password verifier, then the ciphertext in pieces (decrypted in
// place), then the authentication code.
class WinZipAesCheck {
 public:
  WinZipAesCheck(std::string password, int strength);
  std::size_t HeaderLength() const { return FSaltLength + 2; }
  void StartWith(std::string_view header);
  bool PasswordMatches() const;  // after the header
  void DecryptInPlace(char* data, std::size_t size);
  bool CodeMatches(std::string_view code) const;  // after all of the ciphertext

 private:
  void XorKeystream(std::uint8_t* p, std::size_t size);
  std::string FPassword;
  std::size_t FSaltLength, FKeyLength;
  bool FStarted = false;
  bool FPasswordMatches = false;
  std::string FMacKey;
  Sha1 FInner;
  std::string FAesKey;
  std::unique_ptr<platform::AesEcbEncryptor> FAes;  // made on the first decryption
  std::uint64_t FCounter = 1;
  std::vector<std::uint8_t> FKeystream;
  std::size_t FKeystreamUsed = 0;
};

}  // namespace engine
