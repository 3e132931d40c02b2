#include "engine/Pbkdf2Sha1.h"

#include <cstdint>
#include <cstring>

#include "platform/Crypto.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VELSETUP_SHA_NI 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace engine {

#ifdef VELSETUP_SHA_NI
namespace {

// The 32-bit build realigns the stack of every function that needs it (-mstackrealign), except
// functions with a target attribute, for which GCC drops that option: they stay file-local and
// are entered through a function without one, and the 32-bit stackrealign test reads the exe
// for an SSE stack access that nothing realigned.
#define VELSETUP_SHA __attribute__((target("sha,sse4.1,ssse3")))

// A SHA-1 state as the SHA instructions hold it: A, B, C, D from the highest lane down, and E in
// the highest lane of a register whose other lanes are zero.
struct State {
  __m128i Abcd;
  __m128i E;
};

// One group of four rounds of the SHA-1 transform for every lane, and the message schedule that
// goes with it (the sequence of Intel's SHA extensions guide, as a rule over the group number G),
// then the next group.
template <int G, int Lanes>
VELSETUP_SHA inline void Rounds(__m128i* abcd, __m128i* e0, __m128i* e1, __m128i (*m)[4]) {
  constexpr int cur = G % 4;
  for (int l = 0; l < Lanes; ++l) {
    __m128i* w = m[l];
    if constexpr (G == 0)
      e0[l] = _mm_add_epi32(e0[l], w[0]);
    else if constexpr (G % 2 == 0)
      e0[l] = _mm_sha1nexte_epu32(e0[l], w[cur]);
    else
      e1[l] = _mm_sha1nexte_epu32(e1[l], w[cur]);
    if constexpr (G % 2 == 0)
      e1[l] = abcd[l];
    else
      e0[l] = abcd[l];
    if constexpr (G >= 3 && G <= 18) w[(G + 1) % 4] = _mm_sha1msg2_epu32(w[(G + 1) % 4], w[cur]);
    abcd[l] = _mm_sha1rnds4_epu32(abcd[l], G % 2 == 0 ? e0[l] : e1[l], G / 5);
    if constexpr (G >= 1 && G <= 16) w[(G + 3) % 4] = _mm_sha1msg1_epu32(w[(G + 3) % 4], w[cur]);
    if constexpr (G >= 2 && G <= 17) w[(G + 2) % 4] = _mm_xor_si128(w[(G + 2) % 4], w[cur]);
  }
  if constexpr (G < 19) Rounds<G + 1, Lanes>(abcd, e0, e1, m);
}

// The transform of each lane's state over its message block (four registers of big-endian
// words, highest lane first; the registers are used up).
template <int Lanes>
VELSETUP_SHA inline void Transform(State* s, __m128i (*m)[4]) {
  __m128i abcd[Lanes], e0[Lanes], e1[Lanes];
  for (int l = 0; l < Lanes; ++l) {
    abcd[l] = s[l].Abcd;
    e0[l] = s[l].E;
  }
  Rounds<0, Lanes>(abcd, e0, e1, m);
  for (int l = 0; l < Lanes; ++l) {
    s[l].E = _mm_sha1nexte_epu32(e0[l], s[l].E);
    s[l].Abcd = _mm_add_epi32(abcd[l], s[l].Abcd);
  }
}

VELSETUP_SHA void LoadBlock(const unsigned char* block, __m128i* w) {
  const __m128i reverse = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
  for (int k = 0; k < 4; ++k)
    w[k] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * k)), reverse);
}

// The block of a 20-byte message (a digest) after a 64-byte key pad: the digest's words, then the
// padding and the length of 84 bytes in bits.
VELSETUP_SHA void DigestBlock(const State& digest, __m128i* w) {
  w[0] = digest.Abcd;
  w[1] = _mm_or_si128(digest.E, _mm_set_epi32(0, static_cast<int>(0x80000000u), 0, 0));
  w[2] = _mm_setzero_si128();
  w[3] = _mm_set_epi32(0, 0, 0, (64 + 20) * 8);
}

VELSETUP_SHA State Initial() {
  return {_mm_set_epi32(0x67452301, static_cast<int>(0xEFCDAB89u), static_cast<int>(0x98BADCFEu), 0x10325476),
          _mm_set_epi32(static_cast<int>(0xC3D2E1F0u), 0, 0, 0)};
}

VELSETUP_SHA State AfterBlock(const unsigned char* block) {
  State s = Initial();
  __m128i w[1][4];
  LoadBlock(block, w[0]);
  Transform<1>(&s, w);
  return s;
}

VELSETUP_SHA void StoreDigest(const State& s, unsigned char* out) {
  alignas(16) std::uint32_t abcd[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(abcd), s.Abcd);
  const std::uint32_t h[5] = {abcd[3], abcd[2], abcd[1], abcd[0], static_cast<std::uint32_t>(_mm_extract_epi32(s.E, 3))};
  for (int i = 0; i < 5; ++i)
    for (int k = 0; k < 4; ++k) out[4 * i + k] = static_cast<unsigned char>(h[i] >> (24 - 8 * k));
}

// Each lane's digest u hashed on from the state start (one half of an HMAC of a digest).
template <int Lanes>
VELSETUP_SHA inline void HashDigests(State* u, __m128i (*w)[4], const State& start) {
  for (int l = 0; l < Lanes; ++l) {
    DigestBlock(u[l], w[l]);
    u[l] = start;
  }
  Transform<Lanes>(u, w);
}

// Output blocks first .. first + Lanes - 1 of the key, side by side.
template <int Lanes>
VELSETUP_SHA void KeyBlocks(const State& inner, const State& outer, std::string_view salt, int iterations,
                            std::uint32_t first, unsigned char* out) {
  State u[Lanes], t[Lanes];
  __m128i w[Lanes][4];
  // The first HMAC of each lane: salt and the block's index, padded into one block.
  for (int l = 0; l < Lanes; ++l) {
    unsigned char block[64] = {};
    std::memcpy(block, salt.data(), salt.size());
    std::uint32_t index = first + static_cast<std::uint32_t>(l);
    for (int k = 0; k < 4; ++k) block[salt.size() + static_cast<std::size_t>(k)] = static_cast<unsigned char>(index >> (24 - 8 * k));
    std::size_t bits = (64 + salt.size() + 4) * 8;
    block[salt.size() + 4] = 0x80;
    block[62] = static_cast<unsigned char>(bits >> 8);
    block[63] = static_cast<unsigned char>(bits);
    LoadBlock(block, w[l]);
    u[l] = inner;
  }
  Transform<Lanes>(u, w);
  HashDigests<Lanes>(u, w, outer);
  for (int l = 0; l < Lanes; ++l) t[l] = u[l];
  for (int i = 1; i < iterations; ++i) {
    HashDigests<Lanes>(u, w, inner);
    HashDigests<Lanes>(u, w, outer);
    for (int l = 0; l < Lanes; ++l) {
      t[l].Abcd = _mm_xor_si128(t[l].Abcd, u[l].Abcd);
      t[l].E = _mm_xor_si128(t[l].E, u[l].E);
    }
  }
  for (int l = 0; l < Lanes; ++l) StoreDigest(t[l], out + 20 * l);
}

bool HasShaInstructions() {
  static const bool has = [] {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
    bool sse41 = (c & (1u << 19)) != 0, ssse3 = (c & (1u << 9)) != 0;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    return sse41 && ssse3 && (b & (1u << 29)) != 0;
  }();
  return has;
}

}  // namespace
#endif

std::optional<std::string> Pbkdf2HmacSha1Accelerated(std::string_view password, std::string_view salt, int iterations,
                                                     std::size_t length) {
#ifdef VELSETUP_SHA_NI
  if (!HasShaInstructions() || salt.size() > 64 - 4 - 9 || iterations < 1) return std::nullopt;
  unsigned char key[64] = {};
  if (password.size() > 64) {
    platform::Sha1Hash h;
    h.Update(password.data(), password.size());
    auto digest = h.Final();
    std::memcpy(key, digest.data(), digest.size());
  } else {
    std::memcpy(key, password.data(), password.size());
  }
  unsigned char ipad[64], opad[64];
  for (int i = 0; i < 64; ++i) {
    ipad[i] = static_cast<unsigned char>(key[i] ^ 0x36);
    opad[i] = static_cast<unsigned char>(key[i] ^ 0x5C);
  }
  const State inner = AfterBlock(ipad), outer = AfterBlock(opad);
  std::string out((length + 19) / 20 * 20, '\0');
  auto* p = reinterpret_cast<unsigned char*>(out.data());
  std::uint32_t blocks = static_cast<std::uint32_t>(out.size() / 20);
  for (std::uint32_t first = 1; first <= blocks;) {
    std::uint32_t lanes = blocks - first + 1 < 4 ? blocks - first + 1 : 4;
    unsigned char* at = p + 20 * (first - 1);
    switch (lanes) {
      case 1: KeyBlocks<1>(inner, outer, salt, iterations, first, at); break;
      case 2: KeyBlocks<2>(inner, outer, salt, iterations, first, at); break;
      case 3: KeyBlocks<3>(inner, outer, salt, iterations, first, at); break;
      default: KeyBlocks<4>(inner, outer, salt, iterations, first, at); break;
    }
    first += lanes;
  }
  out.resize(length);
  return out;
#else
  (void)password, (void)salt, (void)iterations, (void)length;
  return std::nullopt;
#endif
}

}  // namespace engine
