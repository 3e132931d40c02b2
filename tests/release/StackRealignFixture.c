// Built without stack realignment: a function with more SSE values alive than the 8 registers of
// a 32-bit processor, so that some live in stack slots and are read by aligned accesses (paddd with
// a stack operand). The stack check must name it.
#include <emmintrin.h>

#define LANES 12

__attribute__((noinline, target("sse2"))) int SpillsToTheStack(const int* p, int n) {
  __m128i a[LANES];
  for (int k = 0; k < LANES; ++k) a[k] = _mm_set1_epi32(k * 0x01010101);
  for (int i = 0; i + 4 <= n; i += 4) {
    __m128i x = _mm_loadu_si128((const __m128i*)(p + i));
#pragma GCC unroll 12
    for (int k = 0; k < LANES; ++k) a[k] = _mm_add_epi32(a[k], _mm_xor_si128(x, a[(k + 5) % LANES]));
  }
  __m128i sum = a[0];
  for (int k = 1; k < LANES; ++k) sum = _mm_add_epi32(sum, a[k]);
  return _mm_cvtsi128_si32(sum);
}

int main(void) {
  static const int values[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  int (*volatile sum)(const int*, int) = SpillsToTheStack;
  return sum(values, 8) != 0 ? 0 : 1;
}
