#include "reporter/integrity/crc32_fold.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>
#define UPDATE_CRC32_FOLD 1
#endif

namespace Reporter::Integrity {

#ifdef UPDATE_CRC32_FOLD

bool CanFoldCrc32() {
  static const bool can = [] {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) return false;
    return (ecx & bit_PCLMUL) != 0 && (edx & bit_SSE2) != 0;
  }();
  return can;
}

namespace {

#define UPDATE_FOLD_TARGET __attribute__((target("sse2,pclmul")))

UPDATE_FOLD_TARGET inline __m128i Load(const std::uint8_t* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// The lane multiplied forward by the constants' two powers, and the next bytes added.
UPDATE_FOLD_TARGET inline __m128i Fold(__m128i lane, __m128i constants, __m128i next) {
  const __m128i low = _mm_clmulepi64_si128(lane, constants, 0x00);
  const __m128i high = _mm_clmulepi64_si128(lane, constants, 0x11);
  return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

}  // namespace

// The constants are x^(n) mod P for the bit-reflected polynomial 0xEDB88320, as given with
// the method ("Fast CRC Computation for Generic Polynomials Using PCLMULQDQ"): k1/k2 fold
// 512 bits, k3/k4 128 bits, k5 64 to 32 bits, then Barrett's mu and P.
// A 32-bit stack may be aligned to 4 bytes only; the vectors spilled there need 16.
#ifdef __i386__
__attribute__((force_align_arg_pointer))
#endif
UPDATE_FOLD_TARGET std::uint32_t
FoldCrc32(std::uint32_t state, const std::uint8_t* data, std::size_t size) {
  const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
  const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
  const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
  const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
  const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
  __m128i x1 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(state)));
  __m128i x2 = Load(data + 16);
  __m128i x3 = Load(data + 32);
  __m128i x4 = Load(data + 48);
  data += 64;
  size -= 64;
  for (; size >= 64; data += 64, size -= 64) {
    x1 = Fold(x1, k1k2, Load(data));
    x2 = Fold(x2, k1k2, Load(data + 16));
    x3 = Fold(x3, k1k2, Load(data + 32));
    x4 = Fold(x4, k1k2, Load(data + 48));
  }
  x1 = Fold(x1, k3k4, x2);
  x1 = Fold(x1, k3k4, x3);
  x1 = Fold(x1, k3k4, x4);
  for (; size >= 16; data += 16, size -= 16) x1 = Fold(x1, k3k4, Load(data));

  // 128 bits to 64, then to 32 by Barrett reduction.
  __m128i x2r = _mm_clmulepi64_si128(x1, k3k4, 0x10);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2r);
  x2r = _mm_srli_si128(x1, 4);
  x1 = _mm_and_si128(x1, low32);
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(x1, k5, 0x00), x2r);
  x2r = _mm_and_si128(x1, low32);
  x2r = _mm_clmulepi64_si128(x2r, poly, 0x10);
  x2r = _mm_and_si128(x2r, low32);
  x2r = _mm_clmulepi64_si128(x2r, poly, 0x00);
  x1 = _mm_xor_si128(x1, x2r);
  return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(x1, 4)));
}

#else

bool CanFoldCrc32() {
  return false;
}

std::uint32_t FoldCrc32(std::uint32_t state, const std::uint8_t*, std::size_t) {
  return state;
}

#endif

}  // namespace Reporter::Integrity
