// The hash functions behind our check of WinZip AES authentication codes, against published vectors.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/WinZipAesCheck.h"

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
