#include "engine/WinZipAesCheck.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "engine/Pbkdf2Sha1.h"

namespace engine {

namespace {
constexpr std::size_t kMacLength = 10;
}  // namespace

namespace {
std::string MacPad(std::string_view key, std::uint8_t value) {
  std::string k(key);
  if (k.size() > 64) {
    Sha1 h;
    h.Update(k.data(), k.size());
    auto d = h.Final();
    k.assign(reinterpret_cast<const char*>(d.data()), d.size());
  }
  k.resize(64, '\0');
  for (char& c : k) c = static_cast<char>(static_cast<std::uint8_t>(c) ^ value);
  return k;
}

std::array<std::uint8_t, 20> OuterHash(std::string_view key, const std::array<std::uint8_t, 20>& inner) {
  Sha1 outer;
  std::string opad = MacPad(key, 0x5C);
  outer.Update(opad.data(), opad.size());
  outer.Update(inner.data(), inner.size());
  return outer.Final();
}
}  // namespace

std::array<std::uint8_t, 20> HmacSha1(std::string_view key, std::string_view message) {
  Sha1 inner;
  std::string ipad = MacPad(key, 0x36);
  inner.Update(ipad.data(), ipad.size());
  inner.Update(message.data(), message.size());
  return OuterHash(key, inner.Final());
}

std::string Pbkdf2HmacSha1(std::string_view password, std::string_view salt, int iterations, std::size_t length) {
  if (std::optional<std::string> key = Pbkdf2HmacSha1Accelerated(password, salt, iterations, length)) return *key;
  return platform::Pbkdf2HmacSha1(password, salt, iterations, length);
}

WinZipAesCheck::WinZipAesCheck(std::string password, int strength)
    : FPassword(std::move(password)),
      FSaltLength(strength == 1 ? 8 : strength == 2 ? 12 : 16),
      FKeyLength(strength == 1 ? 16 : strength == 2 ? 24 : 32) {}

void WinZipAesCheck::StartWith(std::string_view header) {
  std::string keys = Pbkdf2HmacSha1(FPassword, header.substr(0, FSaltLength), 1000, 2 * FKeyLength + 2);
  FPasswordMatches = header.size() >= FSaltLength + 2 && keys.compare(2 * FKeyLength, 2, header.substr(FSaltLength, 2)) == 0;
  FAesKey = keys.substr(0, FKeyLength);
  FMacKey = keys.substr(FKeyLength, FKeyLength);
  std::string ipad = MacPad(FMacKey, 0x36);
  FInner.Update(ipad.data(), ipad.size());
  FStarted = true;
}

void WinZipAesCheck::DecryptInPlace(char* data, std::size_t size) {
  FInner.Update(data, size);
  XorKeystream(reinterpret_cast<std::uint8_t*>(data), size);
}

bool WinZipAesCheck::CodeMatches(std::string_view code) const {
  if (!FStarted || code.size() != kMacLength) return false;
  Sha1 inner = FInner;
  auto mac = OuterHash(FMacKey, inner.Final());
  return std::memcmp(mac.data(), code.data(), kMacLength) == 0;
}

void WinZipAesCheck::XorKeystream(std::uint8_t* p, std::size_t size) {
  if (!FAes) FAes = std::make_unique<platform::AesEcbEncryptor>(FAesKey);
  while (size > 0) {
    if (FKeystreamUsed == FKeystream.size()) {
      // The counter blocks for up to 64 KiB at once, encrypted in one call.
      std::size_t blocks = std::min<std::size_t>((size + 15) / 16, 4096);
      FKeystream.assign(blocks * 16, 0);
      for (std::size_t b = 0; b < blocks; ++b, ++FCounter)
        for (int i = 0; i < 8; ++i) FKeystream[b * 16 + i] = static_cast<std::uint8_t>(FCounter >> (8 * i));
      FAes->EncryptBlocks(FKeystream.data(), FKeystream.data(), blocks);
      FKeystreamUsed = 0;
    }
    std::size_t n = std::min(size, FKeystream.size() - FKeystreamUsed);
    for (std::size_t i = 0; i < n; ++i) p[i] ^= FKeystream[FKeystreamUsed + i];
    FKeystreamUsed += n;
    p += n;
    size -= n;
  }
}

bool WinZipAesCheck::PasswordMatches() const { return FStarted && FPasswordMatches; }

}  // namespace engine
