#include "imaging/filters/window_means.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/cpu_features.h"
#include "imaging/filters/window_sum.h"
#include "imaging/parallel_bands.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace cvl::imaging {
namespace {

// A (2 x 60 + 1)^2 window of table values up to 2^18 stays below 2^32.
constexpr int32_t kMaxRadius = 60;
constexpr double kScale = 1 << 18;

// The byte a window sum stands for: the v whose table entry lies nearest the
// sum's mean, that is the count of midpoints between neighbouring entries that
// the sum passes (cut[v] < sum for a rising table, cut[v] > sum for a falling
// one). A search through 255 midpoints per byte would cost more than the sums:
// instead the sum's bucket (sum / width, rounded down by at most one) gives a
// count already known to be passed, or not yet reached, and a few steps finish.
class MeanLookup {
 public:
  MeanLookup(const uint32_t table[256], bool decreasing, double area, uint32_t top)
      : decreasing_(decreasing), start_(size_t(kBuckets) + 1) {
    for (int32_t v = 0; v < 255; ++v) cut_[v] = (double(table[v]) + table[v + 1]) / 2 * area;
    // Buckets wide enough that every sum below 2^32 lands in the table.
    width_ = std::max<uint64_t>(1, (uint64_t(top) + kBuckets - 1) / kBuckets);
    scale_ = (uint64_t(1) << 32) / width_;
    int32_t v = decreasing ? 255 : 0;
    for (uint32_t b = 0; b <= kBuckets; ++b) {
      const double floor_sum = double(b) * double(width_);
      if (decreasing)
        while (v > 0 && !(cut_[v - 1] > floor_sum)) --v;
      else
        while (v < 255 && cut_[v] < floor_sum) ++v;
      start_[b] = uint8_t(v);
    }
    // A sum in bucket b lies in [b width, (b + 2) width), so it passes at most
    // the cuts in that span beyond its bucket's start. With few such cuts the
    // steps are taken a fixed number of times without a branch: a step that
    // fails changes nothing, so extra steps are harmless, and the sentinels
    // (+infinity past either end) fail where the loop would stop at an end.
    size_t lo = 0, hi = 0;
    std::vector<double> sorted(cut_, cut_ + 255);
    std::sort(sorted.begin(), sorted.end());
    for (uint32_t b = 0; b <= kBuckets; ++b) {
      const double from = double(b) * double(width_) - 1, to = double(b + 2) * double(width_) + 1;
      while (lo < sorted.size() && sorted[lo] < from) ++lo;
      hi = std::max(hi, lo);
      while (hi < sorted.size() && sorted[hi] <= to) ++hi;
      steps_ = std::max<int32_t>(steps_, int32_t(hi - lo));
    }
    const double inf = std::numeric_limits<double>::infinity();
    for (int32_t v = 0; v < 256; ++v) {
      up_[v] = v < 255 ? cut_[v] : inf;      // the rising step's cut at v
      down_[v] = v > 0 ? cut_[v - 1] : inf;  // the falling step's cut at v
      // The same steps on whole sums: cut < s is s >= floor(cut) + 1, and
      // !(cut > s) is s >= ceil(cut). Sums stay below 2^32 - 1, so the top
      // word never passes, standing for the ends.
      const double at = decreasing ? std::ceil(down_[v]) : std::floor(up_[v]) + 1;
      pass_[v] = at < 4294967295.0 ? uint32_t(at) : 0xFFFFFFFFu;
    }
    // Four-byte reads of the last entries stay inside.
    start_.resize(start_.size() + 3, 0);
#if defined(__x86_64__) || defined(__i386__)
    // Gathers want the fixed steps and a multiplier that fits 32 bits.
    wide_ = cpu_has_avx2() && steps_ <= kFixedSteps && scale_ <= 0xFFFFFFFFu;
#endif
  }

  // d[i] = (*this)(sums[i]) for a row of n sums.
  void row(const uint32_t* sums, uint8_t* d, int32_t n) const {
    int32_t i = 0;
#if defined(__x86_64__) || defined(__i386__)
    if (wide_) i = row_avx2(sums, d, n);
#endif
    for (; i < n; ++i) d[i] = (*this)(sums[i]);
  }

#if defined(__x86_64__) || defined(__i386__)
  // Eight sums at once: the bucket from the high words of 32 x 32-bit
  // products, its start and each step's whole-sum cut gathered. Returns where
  // it stopped.
  __attribute__((target("avx2"))) int32_t row_avx2(const uint32_t* sums, uint8_t* d, int32_t n) const {
    const __m256i scale = _mm256_set1_epi32(int32_t(uint32_t(scale_))), last = _mm256_set1_epi32(int32_t(kBuckets));
    const __m256i low_byte = _mm256_set1_epi32(0xFF);
    const __m256i high_words = _mm256_set1_epi64x(int64_t(0xFFFFFFFF00000000ull));
    const auto* starts = reinterpret_cast<const int*>(start_.data());
    const auto* pass = reinterpret_cast<const int*>(pass_);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
      const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + i));
      const __m256i even = _mm256_srli_epi64(_mm256_mul_epu32(s, scale), 32);
      const __m256i odd = _mm256_and_si256(_mm256_mul_epu32(_mm256_srli_epi64(s, 32), scale), high_words);
      const __m256i b = _mm256_min_epu32(_mm256_or_si256(even, odd), last);
      __m256i v = _mm256_and_si256(_mm256_i32gather_epi32(starts, b, 1), low_byte);
      for (int32_t k = 0; k < steps_; ++k) {
        const __m256i at = _mm256_i32gather_epi32(pass, v, 4);
        const __m256i passed = _mm256_cmpeq_epi32(_mm256_max_epu32(s, at), s);  // -1 where s >= at
        v = decreasing_ ? _mm256_add_epi32(v, passed) : _mm256_sub_epi32(v, passed);
      }
      const __m256i words = _mm256_packus_epi32(v, v), bytes = _mm256_packus_epi16(words, words);
      const int32_t lo = _mm_cvtsi128_si32(_mm256_castsi256_si128(bytes));
      const int32_t hi = _mm_cvtsi128_si32(_mm256_extracti128_si256(bytes, 1));
      std::memcpy(d + i, &lo, 4);
      std::memcpy(d + i + 4, &hi, 4);
    }
    return i;
  }
#endif

  uint8_t operator()(uint32_t sum) const {
    // b <= sum / width, and b >= sum / width - 1.
    const uint64_t b = std::min<uint64_t>((uint64_t(sum) * scale_) >> 32, kBuckets);
    int32_t v = start_[b];
    const double s = sum;
    if (steps_ <= kFixedSteps) {
      if (decreasing_)
        for (int32_t k = 0; k < steps_; ++k) v -= !(down_[v] > s);
      else
        for (int32_t k = 0; k < steps_; ++k) v += up_[v] < s;
      return uint8_t(v);
    }
    if (decreasing_)
      while (v > 0 && !(cut_[v - 1] > s)) --v;
    else
      while (v < 255 && cut_[v] < s) ++v;
    return uint8_t(v);
  }

 private:
  static constexpr uint32_t kBuckets = 1 << 16;
  static constexpr int32_t kFixedSteps = 4;
  bool decreasing_;
  int32_t steps_ = 0;
  double cut_[255];
  double up_[256], down_[256];
  uint32_t pass_[256];
  bool wide_ = false;
  uint64_t width_ = 1, scale_ = 0;
  std::vector<uint8_t> start_;
};

// Each channel value v is replaced by table[v] and summed over the window, in
// bands of rows; `lookup` maps each sum back to a byte.
template <int C>
void tabulated_mean(const ImageView& in, const ImageView& out, int32_t radius, const uint32_t table[256],
                    const MeanLookup& lookup) {
  const int32_t w = in.width;
  for_each_band(in.height, int64_t(w) * C * 4, [&](int first, int end) {
    window_sums_rows<C>(
        w, in.height, radius, radius, first, end,
        [&](int32_t y, uint32_t* values) {
          const uint8_t* p = in.row(y);
          for (int32_t i = 0; i < w * C; ++i) values[i] = table[p[i]];
        },
        [&](int32_t y, const uint32_t* sums) {
          uint8_t* d = out.row(y);
          lookup.row(sums, d, w * C);
        });
  });
}

bool mean_by_table(const ImageView& src, const ImageView& dst, int32_t radius, const uint32_t table[256],
                   bool decreasing) {
  if (!same_shape(src, dst) || radius < 0) return false;
  radius = std::min(radius, kMaxRadius);
  Image copy;
  const ImageView in = unaliased_source(src, dst, copy);
  if (radius == 0) {
    copy_view(in, dst);
    return true;
  }
  const uint32_t area = uint32_t(2 * radius + 1) * uint32_t(2 * radius + 1);
  const MeanLookup lookup(table, decreasing, area, *std::max_element(table, table + 256) * area);
  switch (src.channels) {
    case 1:
      tabulated_mean<1>(in, dst, radius, table, lookup);
      break;
    case 3:
      tabulated_mean<3>(in, dst, radius, table, lookup);
      break;
    default:
      tabulated_mean<4>(in, dst, radius, table, lookup);
      break;
  }
  return true;
}

}  // namespace

bool geometric_mean(const ImageView& src, const ImageView& dst, int32_t radius) {
  static const auto table = [] {
    std::vector<uint32_t> t(256);
    // ln(256) < 5.6, so ln(v + 1) x 2^18 / 5.6 stays below 2^18.
    for (int32_t v = 0; v < 256; ++v) t[size_t(v)] = uint32_t(std::lround(std::log(v + 1.0) / 5.6 * kScale));
    return t;
  }();
  return mean_by_table(src, dst, radius, table.data(), false);
}

bool harmonic_mean(const ImageView& src, const ImageView& dst, int32_t radius) {
  static const auto table = [] {
    std::vector<uint32_t> t(256);
    for (int32_t v = 0; v < 256; ++v) t[size_t(v)] = uint32_t(std::lround(kScale / (v + 1.0)));
    return t;
  }();
  return mean_by_table(src, dst, radius, table.data(), true);
}

}  // namespace cvl::imaging
