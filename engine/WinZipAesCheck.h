#pragma once
// Checks the authentication code of a WinZip AES entry from its raw (still encrypted) bytes:
// salt, password verifier, ciphertext, 10-byte HMAC-SHA1; with a place for the plain text it also
// decrypts (AES in counter mode, WinZip's little-endian counter from 1), from one key derivation.
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

// Fed the raw bytes of an AES entry in pieces; strength 1, 2, 3 for 128, 192, 256 bits.
class WinZipAesCheck {
 public:
  WinZipAesCheck(std::string password, int strength);
  // The decrypted bytes, when asked for, are appended to plain as the ciphertext is known (the last
  // 10 bytes seen are held back as the possible authentication code).
  void Update(const char* data, std::size_t size, std::string* plain = nullptr);
  bool HeaderRead() const { return FStarted; }
  bool PasswordMatches() const;       // after the header was fed
  bool AuthenticationMatches() const;  // after every byte was fed

  // For a reader that knows where the parts of the entry lie, without copies: the salt and the
  // password verifier, then the ciphertext in pieces (decrypted in place), then the code.
  std::size_t HeaderLength() const { return FSaltLength + 2; }
  void StartWith(std::string_view header);
  void DecryptInPlace(char* data, std::size_t size);
  bool CodeMatches(std::string_view code) const;

 private:
  void Start();
  void Decrypt(const char* data, std::size_t size, std::string& plain);
  void XorKeystream(std::uint8_t* p, std::size_t size);
  std::string FPassword;
  std::size_t FSaltLength, FKeyLength;
  std::string FHeader;
  std::string FTail;  // the last bytes seen, of which the final 10 are the authentication code
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
