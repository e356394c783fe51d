#include "effects/inhouse_row_lanes.h"

#include "imaging/cpu_features.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define CVL_HAVE_ROW_LANES 1
#include <immintrin.h>
#endif

namespace cvl::inhouse_rows {
namespace {

bool portable_only = false;

#if defined(CVL_HAVE_ROW_LANES)
#define CVL_LANES __attribute__((target("avx2")))

bool lanes() {
  return imaging::cpu_has_avx2() && !portable_only;
}

// Both loops read a group of pixels whole before writing it, so a row may be
// rewritten in place.
CVL_LANES int32_t grey_lanes(const uint8_t* in, uint8_t* out, int32_t n) {
  int32_t x = 0;
  for (; x + 8 <= n; x += 8) {
    const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + x * 4));
    // r + g + b by two multiply-adds, / 3 as * 0xAAAB >> 17 (exact up to 765).
    const __m256i sum =
        _mm256_madd_epi16(_mm256_maddubs_epi16(px, _mm256_set1_epi32(0x00010101)), _mm256_set1_epi16(1));
    const __m256i l = _mm256_srli_epi32(_mm256_mulhi_epu16(sum, _mm256_set1_epi32(0xAAAB)), 1);
    const __m256i grey = _mm256_mullo_epi32(l, _mm256_set1_epi32(0x010101));
    const __m256i alpha = _mm256_and_si256(px, _mm256_set1_epi32(int32_t(0xFF000000u)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x * 4), _mm256_or_si256(grey, alpha));
  }
  return x;
}

CVL_LANES int32_t invert_lanes(const uint8_t* in, uint8_t* out, int32_t n) {
  int32_t x = 0;
  for (; x + 8 <= n; x += 8) {
    const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + x * 4));
    // 255 - v is v with every bit flipped.
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x * 4), _mm256_xor_si256(px, _mm256_set1_epi32(0x00FFFFFF)));
  }
  return x;
}
#endif

}  // namespace

void use_portable_rows(bool on) { portable_only = on; }

void grey_row(const uint8_t* in, uint8_t* out, int32_t n) {
  int32_t x = 0;
#if defined(CVL_HAVE_ROW_LANES)
  if (lanes()) x = grey_lanes(in, out, n);
#endif
  for (; x < n; ++x) {
    const uint8_t* q = in + x * 4;
    uint8_t* o = out + x * 4;
    const uint8_t l = static_cast<uint8_t>((q[0] + q[1] + q[2]) / 3), a = q[3];
    o[0] = o[1] = o[2] = l;
    o[3] = a;
  }
}

void invert_row(const uint8_t* in, uint8_t* out, int32_t n) {
  int32_t x = 0;
#if defined(CVL_HAVE_ROW_LANES)
  if (lanes()) x = invert_lanes(in, out, n);
#endif
  for (; x < n; ++x) {
    const uint8_t* q = in + x * 4;
    uint8_t* o = out + x * 4;
    const uint8_t r = q[0], g = q[1], b = q[2], a = q[3];
    o[0] = static_cast<uint8_t>(255 - r), o[1] = static_cast<uint8_t>(255 - g), o[2] = static_cast<uint8_t>(255 - b);
    o[3] = a;
  }
}

}  // namespace cvl::inhouse_rows
