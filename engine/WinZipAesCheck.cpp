#include "engine/WinZipAesCheck.h"

#include <algorithm>
#include <cstring>

namespace engine {

namespace {
std::uint32_t Rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }
constexpr std::size_t kMacLength = 10;
}  // namespace

Sha1::Sha1() : FState{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0} {}

void Sha1::Block(const std::uint8_t* p) {
  std::uint32_t w[80];
  for (int i = 0; i < 16; ++i)
    w[i] = (std::uint32_t(p[4 * i]) << 24) | (std::uint32_t(p[4 * i + 1]) << 16) | (std::uint32_t(p[4 * i + 2]) << 8) |
           p[4 * i + 3];
  for (int i = 16; i < 80; ++i) w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
  std::uint32_t a = FState[0], b = FState[1], c = FState[2], d = FState[3], e = FState[4];
  auto round = [&](std::uint32_t f, std::uint32_t k, std::uint32_t wi) {
    std::uint32_t t = Rotl(a, 5) + f + e + k + wi;
    e = d;
    d = c;
    c = Rotl(b, 30);
    b = a;
    a = t;
  };
  for (int i = 0; i < 20; ++i) round((b & c) | (~b & d), 0x5A827999, w[i]);
  for (int i = 20; i < 40; ++i) round(b ^ c ^ d, 0x6ED9EBA1, w[i]);
  for (int i = 40; i < 60; ++i) round((b & c) | (b & d) | (c & d), 0x8F1BBCDC, w[i]);
  for (int i = 60; i < 80; ++i) round(b ^ c ^ d, 0xCA62C1D6, w[i]);
  FState[0] += a;
  FState[1] += b;
  FState[2] += c;
  FState[3] += d;
  FState[4] += e;
}

void Sha1::Update(const void* data, std::size_t size) {
  auto p = static_cast<const std::uint8_t*>(data);
  FLength += size;
  while (FBuffered == 0 && size >= 64) {  // whole blocks straight from the caller's data
    Block(p);
    p += 64;
    size -= 64;
  }
  while (size > 0) {
    std::size_t n = std::min(size, 64 - FBuffered);
    std::memcpy(FBuffer + FBuffered, p, n);
    FBuffered += n;
    p += n;
    size -= n;
    if (FBuffered == 64) {
      Block(FBuffer);
      FBuffered = 0;
    }
  }
}

std::array<std::uint8_t, 20> Sha1::Final() {
  std::uint64_t bits = FLength * 8;
  static const std::uint8_t kPadding[64] = {0x80};
  Update(kPadding, FBuffered < 56 ? 56 - FBuffered : 120 - FBuffered);
  std::uint8_t length[8];
  for (int i = 0; i < 8; ++i) length[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
  Update(length, 8);
  std::array<std::uint8_t, 20> digest{};
  for (int i = 0; i < 20; ++i) digest[static_cast<size_t>(i)] = static_cast<std::uint8_t>(FState[i / 4] >> (24 - 8 * (i % 4)));
  return digest;
}

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
  // The hash states after the two padded keys are computed once; each iteration then costs two
  // blocks instead of four (this runs for every AES entry).
  Sha1 innerStart, outerStart;
  std::string ipad = MacPad(password, 0x36), opad = MacPad(password, 0x5C);
  innerStart.Update(ipad.data(), ipad.size());
  outerStart.Update(opad.data(), opad.size());
  auto hmac = [&](const void* message, std::size_t size) {
    Sha1 inner = innerStart;
    inner.Update(message, size);
    auto digest = inner.Final();
    Sha1 outer = outerStart;
    outer.Update(digest.data(), digest.size());
    return outer.Final();
  };
  std::string out;
  for (std::uint32_t block = 1; out.size() < length; ++block) {
    std::string s(salt);
    for (int i = 3; i >= 0; --i) s += static_cast<char>(block >> (8 * i));
    auto u = hmac(s.data(), s.size());
    auto t = u;
    for (int i = 1; i < iterations; ++i) {
      u = hmac(u.data(), u.size());
      for (size_t j = 0; j < t.size(); ++j) t[j] ^= u[j];
    }
    out.append(reinterpret_cast<const char*>(t.data()), t.size());
  }
  out.resize(length);
  return out;
}

WinZipAesCheck::WinZipAesCheck(std::string password, int strength)
    : FPassword(std::move(password)),
      FSaltLength(strength == 1 ? 8 : strength == 2 ? 12 : 16),
      FKeyLength(strength == 1 ? 16 : strength == 2 ? 24 : 32) {}

void WinZipAesCheck::Start() {
  std::string keys = Pbkdf2HmacSha1(FPassword, FHeader.substr(0, FSaltLength), 1000, 2 * FKeyLength + 2);
  FPasswordMatches = keys.compare(2 * FKeyLength, 2, FHeader, FSaltLength, 2) == 0;
  FMacKey = keys.substr(FKeyLength, FKeyLength);
  std::string ipad = MacPad(FMacKey, 0x36);
  FInner.Update(ipad.data(), ipad.size());
  FStarted = true;
}

void WinZipAesCheck::Update(const char* data, std::size_t size) {
  while (!FStarted && size > 0) {
    FHeader += *data++;
    --size;
    if (FHeader.size() == FSaltLength + 2) Start();
  }
  // Everything but the final 10 bytes is ciphertext; hold back the last 10 seen.
  FTail.append(data, size);
  if (FTail.size() > kMacLength) {
    std::size_t ready = FTail.size() - kMacLength;
    FInner.Update(FTail.data(), ready);
    FTail.erase(0, ready);
  }
}

bool WinZipAesCheck::PasswordMatches() const { return FStarted && FPasswordMatches; }

bool WinZipAesCheck::AuthenticationMatches() const {
  if (!FStarted || FTail.size() != kMacLength) return false;
  Sha1 inner = FInner;
  auto mac = OuterHash(FMacKey, inner.Final());
  return std::memcmp(mac.data(), FTail.data(), kMacLength) == 0;
}

}  // namespace engine
