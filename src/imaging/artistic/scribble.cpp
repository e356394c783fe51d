#include "imaging/artistic/scribble.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "imaging/artistic/scribble_support.h"
#include "imaging/cpu_features.h"
#include "imaging/parallel_bands.h"
#include "imaging/round_float.h"

// Eight pixels at a time on x86-64 processors with AVX2. Only where scalar
// float arithmetic is SSE arithmetic too, so that every lane rounds as the
// one-pixel code does.
#if defined(__GNUC__) && defined(__x86_64__) && defined(__SSE2_MATH__)
#define CVL_SCRIBBLE_LANES 1
#include <immintrin.h>
#endif

namespace cvl::imaging {
namespace {

using scribble_detail::kSpacing;

#if defined(CVL_SCRIBBLE_LANES)

// Built for AVX2 and not for FMA: a fused multiply-add would round once where
// the one-pixel code rounds the product and then the sum.
#define CVL_LANES __attribute__((target("avx2")))

// scribble_detail::strokes on eight lanes, operation for operation.
CVL_LANES inline __m256 strokes8(__m256 t, __m256 thickness) {
  const __m256 half = _mm256_set1_ps(0.5f), one = _mm256_set1_ps(1.0f), spacing = _mm256_set1_ps(kSpacing);
  const __m256 nearest =
      _mm256_round_ps(_mm256_add_ps(_mm256_div_ps(t, spacing), half), _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
  const __m256 d = _mm256_andnot_ps(_mm256_set1_ps(-0.0f), _mm256_sub_ps(t, _mm256_mul_ps(spacing, nearest)));
  __m256 v = _mm256_add_ps(_mm256_sub_ps(_mm256_mul_ps(thickness, half), d), half);
  v = _mm256_min_ps(_mm256_max_ps(v, _mm256_setzero_ps()), one);
  return _mm256_mul_ps(v, _mm256_min_ps(thickness, one));
}

// round_half_away on eight lanes, as whole numbers.
CVL_LANES inline __m256i round_half_away8(__m256 v) {
  const __m256 a = _mm256_andnot_ps(_mm256_set1_ps(-0.0f), v);
  const __m256 whole = _mm256_round_ps(a, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
  const __m256 up =
      _mm256_and_ps(_mm256_cmp_ps(_mm256_sub_ps(a, whole), _mm256_set1_ps(0.5f), _CMP_GE_OQ), _mm256_set1_ps(1.0f));
  const __m256i r = _mm256_cvttps_epi32(_mm256_add_ps(whole, up));
  const __m256i negative = _mm256_castps_si256(_mm256_cmp_ps(v, _mm256_setzero_ps(), _CMP_LT_OQ));
  return _mm256_sub_epi32(_mm256_xor_si256(r, negative), negative);  // -r where v < 0
}

// One row, eight pixels a time; the waves' sines come worked out per pixel
// in wave1 and wave2. Returns the first pixel it left for the one-pixel code.
CVL_LANES int32_t ink_row_lanes(const uint8_t* p, uint8_t* out, int32_t w, int32_t y, const float* wave1,
                                const float* wave2, ScribbleInk ink, bool cross, float mix) {
  const __m256 mix8 = _mm256_set1_ps(mix), white = _mm256_set1_ps(255.0f), pen_share = _mm256_set1_ps(0.6f);
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  int32_t x = 0;
  for (; x + 8 <= w; x += 8) {
    // Eight packed RGB pixels split into a word a pixel for each channel.
    const uint8_t* q = p + x * 3;
    const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));       // pixels 0 .. 5.3
    const __m128i tail = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(q + 16));  // the rest of 7
    const __m128i second = _mm_alignr_epi8(tail, head, 12);                          // pixels 4 .. 7
    __m256i chan[3];
    for (int c = 0; c < 3; ++c) {
      const __m128i pick =
          _mm_setr_epi8(char(c), -1, -1, -1, char(c + 3), -1, -1, -1, char(c + 6), -1, -1, -1, char(c + 9), -1, -1, -1);
      chan[c] = _mm256_set_m128i(_mm_shuffle_epi8(second, pick), _mm_shuffle_epi8(head, pick));
    }
    // The darkness of the weighted grey, as the table holds it: 1 - g / 255.
    const __m256i grey =
        _mm256_srli_epi32(_mm256_add_epi32(_mm256_add_epi32(_mm256_mullo_epi32(chan[0], _mm256_set1_epi32(77)),
                                                            _mm256_mullo_epi32(chan[1], _mm256_set1_epi32(150))),
                                           _mm256_mullo_epi32(chan[2], _mm256_set1_epi32(29))),
                          8);
    const __m256 dark =
        _mm256_sub_ps(_mm256_set1_ps(1.0f), _mm256_div_ps(_mm256_cvtepi32_ps(grey), _mm256_set1_ps(255.0f)));
    const __m256 waver =
        _mm256_add_ps(_mm256_mul_ps(_mm256_set1_ps(1.5f), _mm256_loadu_ps(wave1 + x)), _mm256_loadu_ps(wave2 + x));
    const __m256i xs = _mm256_add_epi32(_mm256_set1_epi32(x), lane);
    const __m256 along = _mm256_cvtepi32_ps(_mm256_add_epi32(xs, _mm256_set1_epi32(y)));
    __m256 cover = strokes8(_mm256_add_ps(along, waver), _mm256_mul_ps(dark, _mm256_set1_ps(kSpacing)));
    if (cross) {
      const __m256 across = _mm256_cvtepi32_ps(_mm256_sub_epi32(xs, _mm256_set1_epi32(y)));
      const __m256 thick = _mm256_mul_ps(_mm256_mul_ps(_mm256_sub_ps(dark, _mm256_set1_ps(0.5f)), _mm256_set1_ps(2.0f)),
                                         _mm256_set1_ps(kSpacing));
      const __m256 second = strokes8(_mm256_sub_ps(across, waver), thick);
      const __m256 darkest = _mm256_cmp_ps(dark, _mm256_set1_ps(0.5f), _CMP_GT_OQ);
      cover = _mm256_blendv_ps(cover, _mm256_max_ps(second, cover), darkest);
    }
    __m256i result[3];
    for (int c = 0; c < 3; ++c) {
      const __m256 pc = _mm256_cvtepi32_ps(chan[c]);
      const __m256 paper = ink == ScribbleInk::Over ? pc : white;
      const __m256 pen = ink == ScribbleInk::Colour ? _mm256_mul_ps(pc, pen_share) : _mm256_setzero_ps();
      const __m256 drawn = _mm256_add_ps(paper, _mm256_mul_ps(_mm256_sub_ps(pen, paper), cover));
      const __m256 v = _mm256_add_ps(pc, _mm256_mul_ps(_mm256_sub_ps(drawn, pc), mix8));
      result[c] = round_half_away8(v);
    }
    // Back to packed RGB: the low byte of each channel's word (a byte keeps
    // the low bits, as the one-pixel code's cast does) to its place.
    __m128i half[2];
    for (int k = 0; k < 2; ++k) {
      half[k] = _mm_setzero_si128();
      for (int c = 0; c < 3; ++c) {
        const __m128i words = k == 0 ? _mm256_castsi256_si128(result[c]) : _mm256_extracti128_si256(result[c], 1);
        const __m128i place =
            _mm_setr_epi8(char(c == 0 ? 0 : -1), char(c == 1 ? 0 : -1), char(c == 2 ? 0 : -1), char(c == 0 ? 4 : -1),
                          char(c == 1 ? 4 : -1), char(c == 2 ? 4 : -1), char(c == 0 ? 8 : -1), char(c == 1 ? 8 : -1),
                          char(c == 2 ? 8 : -1), char(c == 0 ? 12 : -1), char(c == 1 ? 12 : -1), char(c == 2 ? 12 : -1),
                          -1, -1, -1, -1);
        half[k] = _mm_or_si128(half[k], _mm_shuffle_epi8(words, place));
      }
    }
    uint8_t* o = out + x * 3;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_or_si128(half[0], _mm_slli_si128(half[1], 12)));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o + 16), _mm_srli_si128(half[1], 4));
  }
  return x;
}

// The sines of the strokes' waves, remembered by argument. The first wave's
// argument is 0.13 y + 0.045 x = 0.005 (26 y + 9 x) and the second's
// 0.21 x - 0.07 y = 0.07 (3 x - y), so across the picture they take few
// values, each met again and again; the floats made for one value differ only
// in their last bits, a few ways at most. Each whole multiple gets two slots
// keyed by the argument's exact bits, so a hit returns what sin gave that very
// argument.
class SineMemo {
 public:
  explicit SineMemo(int64_t multiples) {
    size_t slots = 1;
    while (slots < size_t(multiples) && slots < kMaxSlots) slots <<= 1;
    mask_ = slots - 1;
    entries_.assign(slots * 2, Entry{kNever, 0});
  }
  float sin(float arg, int64_t multiple) {
    uint32_t key;
    std::memcpy(&key, &arg, sizeof key);
    Entry* e = &entries_[(size_t(multiple) & mask_) * 2];
    // Which slot holds it is a coin toss, so it is picked without a branch;
    // only a miss, rare, branches.
    const uint32_t first = 0u - uint32_t(e[0].key == key), second = 0u - uint32_t(e[1].key == key);
    const uint32_t bits = (e[0].bits & first) | (e[1].bits & ~first);
    if (__builtin_expect((first | second) != 0, 1)) {
      float remembered;
      std::memcpy(&remembered, &bits, sizeof remembered);
      return remembered;
    }
    const float v = std::sin(arg);
    e[1] = e[0];
    e[0].key = key;
    std::memcpy(&e[0].bits, &v, sizeof v);
    return v;
  }

 private:
  struct Entry {
    uint32_t key;
    uint32_t bits;  // of the sine
  };
  static constexpr size_t kMaxSlots = size_t(1) << 17;
  static constexpr uint32_t kNever = 0xFFFFFFFFu;  // a NaN: no argument has these bits
  std::vector<Entry> entries_;
  size_t mask_ = 0;
};

bool scribble_lanes() {
  return cpu_has_avx2();
}

#endif

}  // namespace

ScribbleInk scribble_ink_from_code(int32_t code) {
  return code == 1 ? ScribbleInk::Colour : code == 2 ? ScribbleInk::Over : ScribbleInk::Black;
}

bool scribble_image(const ImageView& src, const ImageView& dst, ScribbleInk ink, bool cross, int32_t amount) {
  const int32_t w = src.width, h = src.height;
  if (!rgb24_pair(src, dst)) return false;
  const float mix = std::clamp(amount, 0, 100) / 100.0f;
  // Darkness by the weighted grey, 0..255.
  std::array<float, 256> dark_of{};
  for (int32_t g = 0; g < 256; ++g) dark_of[size_t(g)] = 1 - g / 255.0f;
  // Every pixel stands alone, so rows run in bands.
  for_each_band(h, int64_t(w) * 24, [&](int32_t first, int32_t end) {
#if defined(CVL_SCRIBBLE_LANES)
    std::vector<float> wave1, wave2;
    std::unique_ptr<SineMemo> memo1, memo2;
    // Multiples counted from the band's first row: a band's memo is as large
    // as its own rows need.
    const int64_t rows = end - first;
    if (scribble_lanes()) {
      wave1.resize(size_t(w)), wave2.resize(size_t(w));
      memo1 = std::make_unique<SineMemo>(26 * rows + 9 * int64_t(w));
      memo2 = std::make_unique<SineMemo>(3 * int64_t(w) + rows);
    }
#endif
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* p = src.row(y);
      uint8_t* out = dst.row(y);
      int32_t x = 0;
#if defined(CVL_SCRIBBLE_LANES)
      if (!wave1.empty()) {
        // The sines, the one part the lanes cannot share: the same
        // arguments as the one-pixel code makes, each sine worked out once.
        for (int32_t i = 0; i < w; ++i) {
          wave1[size_t(i)] = memo1->sin(y * 0.13f + i * 0.045f, 26 * int64_t(y - first) + 9 * int64_t(i));
          wave2[size_t(i)] = memo2->sin(i * 0.21f - y * 0.07f, 3 * int64_t(i) - (y - first) + rows);
        }
        x = ink_row_lanes(p, out, w, y, wave1.data(), wave2.data(), ink, cross, mix);
        p += x * 3, out += x * 3;
      }
#endif
      for (; x < w; ++x, p += 3, out += 3) {
        const float dark = dark_of[size_t((p[0] * 77 + p[1] * 150 + p[2] * 29) >> 8)];
        scribble_detail::ink_pixel(p, out, x, y, dark, ink, cross, mix, [](float v) { return round_half_away(v); });
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging
