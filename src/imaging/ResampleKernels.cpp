#include "imaging/ResampleKernels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SNAPWICK_RESAMPLE_X86 1
#endif

namespace snapwick::resample {

namespace {

void MixRunScalar(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n, const uint32_t* lo,
                  const uint32_t* hi, size_t step) {
  for (size_t i = 0; i < n; ++i)
    out[i] = MixFixed(a[i], b[i], lo[i * step], hi[i * step]);
}

#if defined(SNAPWICK_RESAMPLE_X86)

// Four mixes from four (a, b) pairs of 16-bit numbers: n = pairs . hi x 2^12 + pairs . lo, then
// (n + 2^23 - 1 + bit 24 of n) / 2^24.
inline __m128i Mix4(__m128i pairs, __m128i lo, __m128i hi) {
  const __m128i n =
      _mm_add_epi32(_mm_slli_epi32(_mm_madd_epi16(pairs, hi), 12), _mm_madd_epi16(pairs, lo));
  const __m128i odd = _mm_and_si128(_mm_srli_epi32(n, kFixedBits), _mm_set1_epi32(1));
  const __m128i biased = _mm_add_epi32(_mm_add_epi32(n, _mm_set1_epi32(kFixedOne / 2 - 1)), odd);
  return _mm_srli_epi32(biased, kFixedBits);
}

// 16 bytes at a time; kWeighted reads a weight per byte, otherwise lo[0] and hi[0] serve all.
template <bool kWeighted>
size_t MixRunSse2(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n, const uint32_t* lo,
                  const uint32_t* hi) {
  if (n < 16) return 0;  // the weights may then lie past the end
  const __m128i zero = _mm_setzero_si128();
  const __m128i oneLo = _mm_set1_epi32(static_cast<int>(lo[0]));
  const __m128i oneHi = _mm_set1_epi32(static_cast<int>(hi[0]));
  const auto load = [](const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); };
  const auto weightLo = [&](size_t at) { return kWeighted ? load(lo + at) : oneLo; };
  const auto weightHi = [&](size_t at) { return kWeighted ? load(hi + at) : oneHi; };
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i va = load(a + i), vb = load(b + i);
    const __m128i abLow = _mm_unpacklo_epi8(va, vb);
    const __m128i abHigh = _mm_unpackhi_epi8(va, vb);
    const __m128i r0 = Mix4(_mm_unpacklo_epi8(abLow, zero), weightLo(i), weightHi(i));
    const __m128i r1 = Mix4(_mm_unpackhi_epi8(abLow, zero), weightLo(i + 4), weightHi(i + 4));
    const __m128i r2 = Mix4(_mm_unpacklo_epi8(abHigh, zero), weightLo(i + 8), weightHi(i + 8));
    const __m128i r3 = Mix4(_mm_unpackhi_epi8(abHigh, zero), weightLo(i + 12), weightHi(i + 12));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_packus_epi16(_mm_packs_epi32(r0, r1), _mm_packs_epi32(r2, r3)));
  }
  return i;
}

#define SNAPWICK_AVX2 __attribute__((target("avx2")))

SNAPWICK_AVX2 inline __m256i Mix8(__m256i pairs, __m256i lo, __m256i hi) {
  const __m256i n = _mm256_add_epi32(_mm256_slli_epi32(_mm256_madd_epi16(pairs, hi), 12),
                                     _mm256_madd_epi16(pairs, lo));
  const __m256i odd = _mm256_and_si256(_mm256_srli_epi32(n, kFixedBits), _mm256_set1_epi32(1));
  const __m256i biased =
      _mm256_add_epi32(_mm256_add_epi32(n, _mm256_set1_epi32(kFixedOne / 2 - 1)), odd);
  return _mm256_srli_epi32(biased, kFixedBits);
}

// Weights of bytes i..i+3 and i+16..i+19.
SNAPWICK_AVX2 inline __m256i Halves(const uint32_t* p) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)), 1);
}

// 32 bytes at a time. The byte interleaving and packing work within each 16-byte half, so the
// pairs of step j hold bytes 4j..4j+3 and 16+4j..16+4j+3, and the packing puts them back in order.
template <bool kWeighted>
SNAPWICK_AVX2 size_t MixRunAvx2(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n,
                                const uint32_t* lo, const uint32_t* hi) {
  if (n < 32) return 0;
  const __m256i zero = _mm256_setzero_si256();
  const __m256i oneLo = _mm256_set1_epi32(static_cast<int>(lo[0]));
  const __m256i oneHi = _mm256_set1_epi32(static_cast<int>(hi[0]));
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
    const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
    const __m256i abLow = _mm256_unpacklo_epi8(va, vb);
    const __m256i abHigh = _mm256_unpackhi_epi8(va, vb);
    __m256i r[4];
    const __m256i pairs[4] = {_mm256_unpacklo_epi8(abLow, zero), _mm256_unpackhi_epi8(abLow, zero),
                              _mm256_unpacklo_epi8(abHigh, zero),
                              _mm256_unpackhi_epi8(abHigh, zero)};
    for (int j = 0; j < 4; ++j) {
      if constexpr (kWeighted) {
        r[j] = Mix8(pairs[j], Halves(lo + i + 4 * j), Halves(hi + i + 4 * j));
      } else {
        r[j] = Mix8(pairs[j], oneLo, oneHi);
      }
    }
    _mm256_storeu_si256(
        reinterpret_cast<__m256i*>(out + i),
        _mm256_packus_epi16(_mm256_packs_epi32(r[0], r[1]), _mm256_packs_epi32(r[2], r[3])));
  }
  return i;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

#endif

template <bool kWeighted>
void Mix(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n, const uint32_t* lo,
         const uint32_t* hi) {
  size_t done = 0;
#if defined(SNAPWICK_RESAMPLE_X86)
  const size_t step = kWeighted ? 1 : 0;
  if (HasAvx2()) done = MixRunAvx2<kWeighted>(a, b, out, n, lo, hi);
  done += MixRunSse2<kWeighted>(a + done, b + done, out + done, n - done, lo + done * step,
                                hi + done * step);
#else
  const size_t step = kWeighted ? 1 : 0;
#endif
  MixRunScalar(a + done, b + done, out + done, n - done, lo + done * step, hi + done * step, step);
}

}  // namespace

void MixRun(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n, PackedWeight weight) {
  Mix<false>(a, b, out, n, &weight.lo, &weight.hi);
}

void MixRunWeighted(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t n, const uint32_t* lo,
                    const uint32_t* hi) {
  Mix<true>(a, b, out, n, lo, hi);
}

}  // namespace snapwick::resample
