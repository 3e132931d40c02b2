// The hash functions behind our check of WinZip AES authentication codes, against published vectors.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/Pbkdf2Sha1.h"
#include "engine/WinZipAesCheck.h"
#include "platform/Crypto.h"

namespace {
std::string Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}
template <class A>
std::string Hex(const A& a) {
  return Hex(std::string(reinterpret_cast<const char*>(a.data()), a.size()));
}
}  // namespace

TEST(WinZipAesCheck, Sha1HmacAndPbkdf2MatchPublishedVectors) {
  engine::Sha1 abc;
  abc.Update("abc", 3);
  EXPECT_EQ(Hex(abc.Final()), "a9993e364706816aba3e25717850c26c9cd0d89d");
  engine::Sha1 million;  // FIPS 180: a million 'a', fed in uneven pieces
  std::string chunk(1000, 'a');
  for (size_t total = 0, i = 0; total < 1000000; ++i) {
    size_t n = std::min<size_t>(1 + (i * 37) % 1000, 1000000 - total);
    million.Update(chunk.data(), n);
    total += n;
  }
  EXPECT_EQ(Hex(million.Final()), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
  // RFC 2202 test case 2.
  EXPECT_EQ(Hex(engine::HmacSha1("Jefe", "what do ya want for nothing?")), "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
  // RFC 6070.
  EXPECT_EQ(Hex(engine::Pbkdf2HmacSha1("password", "salt", 1, 20)), "0c60c80f961f0e71f3a9b524af6012062fe037a6");
  EXPECT_EQ(Hex(engine::Pbkdf2HmacSha1("password", "salt", 4096, 20)), "4b007901b765489abead49d926f721d065a429c1");
  EXPECT_EQ(Hex(engine::Pbkdf2HmacSha1("passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 25)),
            "3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038");
}

// The derivation with the processor's SHA instructions against the system's, for every key length
// WinZip AES asks (2 to 4 blocks side by side) and odd ones, salts up to the longest that fits one
// block, and passwords longer than the HMAC block. Where the processor has no SHA instructions
// the accelerated one declines and the system's is used.
TEST(WinZipAesCheck, AcceleratedPbkdf2MatchesTheSystemOne) {
  std::mt19937 random(3);
  auto text = [&](std::size_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(random());
    return s;
  };
  struct Case {
    std::size_t password, salt;
    int iterations;
    std::size_t length;
  } cases[] = {{13, 8, 1000, 34}, {13, 12, 1000, 50}, {13, 16, 1000, 66}, {0, 16, 3, 20}, {64, 16, 2, 101},
               {65, 1, 7, 19}, {200, 51, 5, 81}, {5, 0, 1, 1}};
  bool accelerated = false;
  for (const Case& c : cases) {
    std::string password = text(c.password), salt = text(c.salt);
    auto fast = engine::Pbkdf2HmacSha1Accelerated(password, salt, c.iterations, c.length);
    if (!fast) continue;
    accelerated = true;
    EXPECT_EQ(Hex(*fast), Hex(platform::Pbkdf2HmacSha1(password, salt, c.iterations, c.length)))
        << c.password << " " << c.salt << " " << c.iterations << " " << c.length;
  }
  // A salt too long for one block is left to the system.
  EXPECT_FALSE(engine::Pbkdf2HmacSha1Accelerated("p", std::string(52, 's'), 2, 20));
  if (!accelerated) GTEST_SKIP() << "this processor has no SHA instructions";
}
