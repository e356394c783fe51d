// "Is this pixel close to that colour": the squared distance between their
// red, green and blue bytes, (dr^2 + dg^2 + db^2), against a limit; the full
// range is 0 .. 3 * 255^2 = 195075. Alpha never counts. A one-byte pixel is a
// grey whose three channels are equal, so a limit means the same on a grey
// picture whether it is stored in one byte or three.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/pixel_span.h"

namespace cvl::imaging {

constexpr int32_t kMaxColourDistance = 3 * 255 * 255;

// The first three channel bytes of a pixel (a one-byte pixel repeated).
inline Colour colour_of(const uint8_t* p, int32_t channels) {
  if (channels < 3) return {p[0], p[0], p[0], 255};
  return {p[0], p[1], p[2], channels == 4 ? p[3] : uint8_t{255}};
}

// Tests pixels of `C` bytes against a key colour. With Exact the limit is 0
// and the test is a plain comparison, which is what a tolerance of zero asks
// for and several times cheaper.
template <int C, bool Exact>
class NearColour {
 public:
  NearColour(const Colour& key, int32_t limit) : limit_(limit) {
    k_[0] = key[0], k_[1] = key[1], k_[2] = key[2];
    if constexpr (C == 4) {
      const uint8_t mask[4] = {255, 255, 255, 0};
      std::memcpy(&mask_, mask, 4);
      std::memcpy(&word_, key.data(), 4);
      word_ &= mask_;
#if defined(__SSE2__)
      mask4_ = _mm_set1_epi32(static_cast<int32_t>(mask_));
      word4_ = _mm_set1_epi32(static_cast<int32_t>(word_));
      key16_ = _mm_setr_epi16(key[0], key[1], key[2], 0, key[0], key[1], key[2], 0);
      limit4_ = _mm_set1_epi32(limit);
#endif
    }
  }

#if defined(__SSE2__)
  // Four-byte pixels four at a time: bit i is set when pixel i of the sixteen
  // bytes at p matches. Long runs of one colour are the usual case, and this
  // tests a run about four times faster than one pixel at a time.
  int match4(const uint8_t* p) const
    requires(C == 4)
  {
    const __m128i v = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), mask4_);
    if constexpr (Exact) {
      return _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(v, word4_)));
    } else {
      const __m128i zero = _mm_setzero_si128();
      const __m128i lo = _mm_sub_epi16(_mm_unpacklo_epi8(v, zero), key16_);
      const __m128i hi = _mm_sub_epi16(_mm_unpackhi_epi8(v, zero), key16_);
      // Per pixel: (dr^2 + dg^2) and (db^2 + 0), two pixels per register.
      const __m128 slo = _mm_castsi128_ps(_mm_madd_epi16(lo, lo)), shi = _mm_castsi128_ps(_mm_madd_epi16(hi, hi));
      const __m128i dist = _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(slo, shi, _MM_SHUFFLE(2, 0, 2, 0))),
                                         _mm_castps_si128(_mm_shuffle_ps(slo, shi, _MM_SHUFFLE(3, 1, 3, 1))));
      return ~_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(dist, limit4_))) & 15;
    }
  }
#endif

  bool operator()(const uint8_t* p) const {
    if constexpr (Exact) {
      if constexpr (C == 4) {
        uint32_t w;
        std::memcpy(&w, p, 4);
        return (w & mask_) == word_;
      } else if constexpr (C == 3) {
        return p[0] == k_[0] && p[1] == k_[1] && p[2] == k_[2];
      } else {
        return p[0] == k_[0];
      }
    } else {
      if constexpr (C == 1) {
        const int32_t d = p[0] - k_[0];
        return 3 * d * d <= limit_;
      } else {
        const int32_t d0 = p[0] - k_[0], d1 = p[1] - k_[1], d2 = p[2] - k_[2];
        return d0 * d0 + d1 * d1 + d2 * d2 <= limit_;
      }
    }
  }

 private:
  int32_t k_[3] = {};
  int32_t limit_ = 0;
  uint32_t mask_ = 0, word_ = 0;
#if defined(__SSE2__)
  __m128i mask4_{}, word4_{}, key16_{}, limit4_{};
#endif
};

// Calls body(NearColour<C, Exact>) for the image's pixel size and whether the
// limit asks for exact matches. `channels` must be 1, 3 or 4.
template <class Body>
auto with_near_colour(int32_t channels, const Colour& key, int32_t limit, Body&& body) {
  const bool exact = limit == 0;
  switch (channels) {
    case 1: return exact ? body(NearColour<1, true>(key, 0)) : body(NearColour<1, false>(key, limit));
    case 3: return exact ? body(NearColour<3, true>(key, 0)) : body(NearColour<3, false>(key, limit));
    default: return exact ? body(NearColour<4, true>(key, 0)) : body(NearColour<4, false>(key, limit));
  }
}

}  // namespace cvl::imaging
