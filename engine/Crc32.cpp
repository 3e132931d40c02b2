#include "engine/Crc32.h"

#include <array>
#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VELSETUP_CRC_CLMUL 1
#include <immintrin.h>
#endif

namespace engine {

namespace {

using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

// Table k gives the CRC of a byte followed by k zero bytes: eight bytes are then taken at a step.
constexpr Tables MakeTables() {
  Tables t{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][n] = c;
  }
  for (std::uint32_t n = 0; n < 256; ++n)
    for (int k = 1; k < 8; ++k) t[k][n] = t[0][t[k - 1][n] & 0xFF] ^ (t[k - 1][n] >> 8);
  return t;
}

constexpr Tables kTables = MakeTables();

// On the CRC register (the inverted CRC).
std::uint32_t TableCrc(std::uint32_t c, const unsigned char* p, std::size_t size) {
  while (size >= 8) {
    std::uint32_t lo = 0, hi = 0;
    for (int k = 0; k < 4; ++k) {
      lo |= static_cast<std::uint32_t>(p[k]) << (8 * k);
      hi |= static_cast<std::uint32_t>(p[4 + k]) << (8 * k);
    }
    lo ^= c;
    c = kTables[7][lo & 0xFF] ^ kTables[6][(lo >> 8) & 0xFF] ^ kTables[5][(lo >> 16) & 0xFF] ^ kTables[4][lo >> 24] ^
        kTables[3][hi & 0xFF] ^ kTables[2][(hi >> 8) & 0xFF] ^ kTables[1][(hi >> 16) & 0xFF] ^ kTables[0][hi >> 24];
    p += 8;
    size -= 8;
  }
  while (size--) c = kTables[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
  return c;
}

#ifdef VELSETUP_CRC_CLMUL
// The 32-bit build realigns the stack of every function that needs it (-mstackrealign), except
// functions with a target attribute, for which GCC drops that option: they stay file-local and
// are entered through a function without one, and the 32-bit stackrealign test reads the exe
// for an SSE stack access that nothing realigned.
#define VELSETUP_CLMUL __attribute__((target("pclmul,sse4.1")))

VELSETUP_CLMUL inline __m128i load(const unsigned char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
// The lane a carried over the distance its constants k stand for, added onto b.
VELSETUP_CLMUL inline __m128i fold(__m128i a, __m128i k, __m128i b) {
  return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(a, k, 0x00), _mm_clmulepi64_si128(a, k, 0x11)), b);
}

// Folding by carry-less multiplication (Gopal et al., "Fast CRC Computation for Generic
// Polynomials Using PCLMULQDQ Instruction", Intel 2009), with the constants of the bit-reflected
// CRC-32 polynomial: four 128-bit lanes folded 64 bytes at a time, then into one lane, then a
// Barrett reduction to 32 bits. size is a multiple of 16 and at least 64; c is the CRC register.
VELSETUP_CLMUL std::uint32_t FoldedCrc(std::uint32_t c, const unsigned char* p, std::size_t size) {
  const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
  const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
  const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
  const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
  const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);

  __m128i x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(c)));
  __m128i x2 = load(p + 16), x3 = load(p + 32), x4 = load(p + 48);
  p += 64;
  size -= 64;
  while (size >= 64) {
    x1 = fold(x1, k1k2, load(p));
    x2 = fold(x2, k1k2, load(p + 16));
    x3 = fold(x3, k1k2, load(p + 32));
    x4 = fold(x4, k1k2, load(p + 48));
    p += 64;
    size -= 64;
  }
  x1 = fold(x1, k3k4, x2);
  x1 = fold(x1, k3k4, x3);
  x1 = fold(x1, k3k4, x4);
  while (size >= 16) {
    x1 = fold(x1, k3k4, load(p));
    p += 16;
    size -= 16;
  }
  // 128 bits to 64, then to 32 + 32.
  __m128i x2f = _mm_clmulepi64_si128(x1, k3k4, 0x10);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2f);
  __m128i high = _mm_srli_si128(x1, 4);
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5, 0x00), high);
  // Barrett reduction.
  __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
  t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), poly, 0x00);
  x1 = _mm_xor_si128(x1, t);
  return static_cast<std::uint32_t>(_mm_extract_epi32(x1, 1));
}

bool HasClmul() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
  }();
  return has;
}
#endif

}  // namespace

extern const std::array<std::uint32_t, 256> kCrc32Table = kTables[0];

std::uint32_t Crc32Portable(std::uint32_t crc, const void* data, std::size_t size) {
  return ~TableCrc(~crc, static_cast<const unsigned char*>(data), size);
}

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size) {
  auto p = static_cast<const unsigned char*>(data);
  std::uint32_t c = ~crc;
#ifdef VELSETUP_CRC_CLMUL
  if (size >= 64 && HasClmul()) {
    std::size_t folded = size & ~static_cast<std::size_t>(15);
    c = FoldedCrc(c, p, folded);
    p += folded;
    size -= folded;
  }
#endif
  return ~TableCrc(c, p, size);
}

}  // namespace engine
