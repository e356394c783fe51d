// The compositor's loops. Each (mode, same-alpha) pair has its own row loop,
// picked once per call from a table, so no pixel pays for a mode switch.
//
// A row is done in chunks: runs of pixels that all need the floating-point blend
// are blended four or eight at a time straight from the rows; elsewhere a first
// integer pass settles every pixel that needs no arithmetic (transparent sources
// skipped, transparent destinations and opaque Normal sources copied, the
// alpha-mode step) and queues the rest, and a second pass blends the queue.
#include "imaging/cpu_features.h"
#include "imaging/parallel_bands.h"
#include "layers/composite.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "layers/alpha_modes.h"
#include "layers/blend_formulas.h"
#include "layers/mix_mode_names.h"

namespace cvl {

namespace {

constexpr int kChunk = 256;

// Pixels of one chunk waiting for the floating-point blend, one array per value.
struct BlendQueue {
  alignas(32) int32_t c[3][kChunk + 8];
  alignas(32) int32_t o[kChunk + 8];
  alignas(32) int32_t d[4][kChunk + 8];  // destination R, G, B, A
  alignas(32) int32_t at[kChunk + 8];    // pixel index in the row
  int count = 0;

  void push(int32_t index, const SourcePixel& p, const uint16_t* dp) {
    const int n = count++;
    for (int ch = 0; ch < 3; ++ch) c[ch][n] = static_cast<int32_t>(p.c[ch]);
    o[n] = static_cast<int32_t>(p.o);
    for (int ch = 0; ch < 4; ++ch) d[ch][n] = dp[ch];
    at[n] = index;
  }

  // Repeats the last entry up to a multiple of the lane count; the repeats
  // write the same words to the same pixel again.
  void pad(int lanes) {
    if (count == 0) return;
    while (count % lanes != 0) {
      const int last = count - 1, n = count++;
      for (int ch = 0; ch < 3; ++ch) c[ch][n] = c[ch][last];
      o[n] = o[last];
      for (int ch = 0; ch < 4; ++ch) d[ch][n] = d[ch][last];
      at[n] = at[last];
    }
  }
};

template <class I>
CVL_LANES_INLINE I load_lanes(const int32_t* p) {
  I v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Blends the queue W pixels at a time (F and I: W float and int lanes).
template <int K, class F, class I>
CVL_LANES_INLINE void blend_queue_lanes(BlendQueue& q, uint16_t* drow, bool keep_alpha) {
  constexpr int W = static_cast<int>(sizeof(F) / sizeof(float));
  q.pad(W);
  for (int j = 0; j < q.count; j += W) {
    const F c[3] = {lane_float(load_lanes<I>(&q.c[0][j])), lane_float(load_lanes<I>(&q.c[1][j])),
                    lane_float(load_lanes<I>(&q.c[2][j]))};
    const F dc[3] = {lane_float(load_lanes<I>(&q.d[0][j])), lane_float(load_lanes<I>(&q.d[1][j])),
                     lane_float(load_lanes<I>(&q.d[2][j]))};
    I out[4];
    blend_pixel<K>(c, lane_float(load_lanes<I>(&q.o[j])), dc, lane_float(load_lanes<I>(&q.d[3][j])), out);
    for (int l = 0; l < W; ++l) {
      uint16_t* dp = drow + static_cast<size_t>(q.at[j + l]) * 4;
      dp[0] = static_cast<uint16_t>(out[0][l]);
      dp[1] = static_cast<uint16_t>(out[1][l]);
      dp[2] = static_cast<uint16_t>(out[2][l]);
      if (!keep_alpha) dp[3] = static_cast<uint16_t>(out[3][l]);
    }
  }
  q.count = 0;
}

bool portable_lanes_only = false;

struct Row {
  const uint16_t* src;
  const uint16_t* mask;  // null unless the layer mask applies
  uint16_t* dst;
  int32_t width;
  int32_t opacity;
  bool keep_alpha;
};

inline void write_source(uint16_t* dp, const SourcePixel& p, bool keep_alpha) {
  dp[0] = static_cast<uint16_t>(p.c[0]);
  dp[1] = static_cast<uint16_t>(p.c[1]);
  dp[2] = static_cast<uint16_t>(p.c[2]);
  if (!keep_alpha) dp[3] = static_cast<uint16_t>(p.o);
}

// Blends W pixels starting at i straight from the rows when every one of them
// needs the floating-point blend (the commonest case under a soft or
// half-transparent layer); false, with nothing written, when any does not.
template <int Mode, class F, class I>
CVL_LANES_INLINE bool blend_group(const Row& row, int32_t i) {
  constexpr bool kExactCopy = Mode == 0 || Mode == 20;
  const uint16_t* sp = row.src + static_cast<size_t>(i) * 4;
  uint16_t* dp = row.dst + static_cast<size_t>(i) * 4;
  I s[4] = {}, d[4] = {};
  load_rgba64_lanes(sp, s);
  load_rgba64_lanes(dp, d);
  const I zero = I{} + 0;
  I o = s[3];
  if (row.opacity < 255) o = ((I{} + (row.opacity + 1)) * o) >> 8;
  I blends = (s[3] != zero) & (d[3] != zero) & (o != zero);
  if constexpr (kExactCopy) blends &= o < (I{} + 65280);
  if (!all_lanes(blends)) return false;
  const F c[3] = {lane_float(s[0]), lane_float(s[1]), lane_float(s[2])};
  const F dc[3] = {lane_float(d[0]), lane_float(d[1]), lane_float(d[2])};
  I out[4];
  blend_pixel<blend_kind(Mode, false)>(c, lane_float(o), dc, lane_float(d[3]), out);
  if (row.keep_alpha) out[3] = d[3];
  store_rgba64_lanes(dp, out);
  return true;
}

template <int Mode, bool SameAlpha, class F, class I>
CVL_LANES_INLINE void composite_row_lanes(const Row& row) {
  constexpr int W = lane_count<I>;
  constexpr bool kAlphaMode = Mode > 20;
  // Mode 20 has no name and stands for Normal in every respect.
  constexpr bool kExactCopy = Mode == 0 || Mode == 20;
  // Opaque Normal pixels are copied four at a time while nothing scales alpha.
  const bool plain_copies = kExactCopy && !row.mask && row.opacity >= 255 && !row.keep_alpha;
  // Whole groups are blended without queueing where no per-pixel step intervenes.
  const bool groups = !kAlphaMode && !row.mask;
  int32_t next_group = 0;  // after a group that could not be blended whole, the next W go one by one
  BlendQueue queue;
  for (int32_t start = 0; start < row.width; start += kChunk) {
    const int32_t end = std::min(row.width, start + kChunk);
    for (int32_t i = start; i < end; ++i) {
      if (groups && i >= next_group) {
        while (i + W <= end && blend_group<Mode, F, I>(row, i)) i += W;
        if (i == end) break;
        next_group = i + W;
      }
      const uint16_t* sp = row.src + static_cast<size_t>(i) * 4;
      uint16_t* dp = row.dst + static_cast<size_t>(i) * 4;
      if (plain_copies) {
        while (i + 4 <= end && sp[3] >= 65280 && sp[7] >= 65280 && sp[11] >= 65280 && sp[15] >= 65280) {
          std::memcpy(dp, sp, 32);
          i += 4;
          sp += 16;
          dp += 16;
        }
        if (i == end) break;
      }
      uint32_t a = sp[3];
      if constexpr (!kAlphaMode) {
        if (a == 0) continue;
      }
      if (row.mask) {
        const uint16_t* mp = row.mask + static_cast<size_t>(i) * 4;
        if (mp[3] > 0) a = ((static_cast<uint32_t>(mp[0]) + mp[1] + mp[2]) / 3 * a) >> 16;
      }
      if (row.opacity < 255) a = (static_cast<uint32_t>(row.opacity + 1) * a) >> 8;
      SourcePixel p{{sp[0], sp[1], sp[2]}, a};
      p.texturize = is_texturize(Mode);
      if constexpr (kAlphaMode) apply_alpha_step<Mode, SameAlpha>(p, a);
      if (dp[3] == 0 || p.replace) {
        if (p.texturize) {
          dp[0] = dp[1] = dp[2] = 0;
          if (!row.keep_alpha) dp[3] = 0;
        } else {
          write_source(dp, p, row.keep_alpha);
        }
        continue;
      }
      if (p.o == 0) continue;
      if constexpr (kExactCopy) {
        if (p.o >= 65280) {
          write_source(dp, p, row.keep_alpha);
          continue;
        }
      }
      queue.push(i, p, dp);
    }
    blend_queue_lanes<blend_kind(Mode, SameAlpha), F, I>(queue, row.dst, row.keep_alpha);
  }
}

template <int Mode, bool SameAlpha>
void composite_row_4(const Row& row) {
  composite_row_lanes<Mode, SameAlpha, f32x4, i32x4>(row);
}

#if defined(CVL_HAVE_AVX2_LANES)
template <int Mode, bool SameAlpha>
__attribute__((target("avx2"), flatten)) void composite_row_8(const Row& row) {
  composite_row_lanes<Mode, SameAlpha, f32x8, i32x8>(row);
}
#else
template <int Mode, bool SameAlpha>
void composite_row_8(const Row& row) {
  composite_row_4<Mode, SameAlpha>(row);
}
#endif

using RowLoop = void (*)(const Row&);

// Loops by [wide lanes][mode][same alpha]. Same-alpha mode only changes modes above 20.
template <bool Wide, size_t... Modes>
constexpr std::array<std::array<RowLoop, 2>, sizeof...(Modes)> make_loops(std::index_sequence<Modes...>) {
  if constexpr (Wide) {
    return {{{&composite_row_8<Modes, false>, &composite_row_8<Modes, (Modes > 20)>}...}};
  } else {
    return {{{&composite_row_4<Modes, false>, &composite_row_4<Modes, (Modes > 20)>}...}};
  }
}

constexpr std::array<std::array<std::array<RowLoop, 2>, kMixModeCount>, 2> kLoops = {
    make_loops<false>(std::make_index_sequence<kMixModeCount>{}),
    make_loops<true>(std::make_index_sequence<kMixModeCount>{})};

}  // namespace

void composite_use_portable_lanes(bool on) { portable_lanes_only = on; }

bool wide_lanes() {
#if defined(CVL_HAVE_AVX2_LANES)
  return imaging::cpu_has_avx2() && !portable_lanes_only;
#else
  return false;
#endif
}

void composite(const CompositeArgs& args) {
  if (!args.src || !args.dst || args.width <= 0 || args.height <= 0) return;
  const int32_t mode = (args.mode >= 0 && args.mode < kMixModeCount) ? args.mode : 0;
  const RowLoop loop = kLoops[wide_lanes() ? 1 : 0][static_cast<size_t>(mode)][args.same_alpha ? 1 : 0];
  const bool use_mask = args.layer_mask && args.layer_mask_mode == kModeLayerMask;
  // Rows are independent, so bands of them may go to several threads.
  imaging::for_each_band(args.height, args.width, [&](int32_t first, int32_t end) {
    for (int32_t r = first; r < end; ++r) {
      const size_t s_off = static_cast<size_t>(args.y + r) * static_cast<size_t>(args.src_stride) +
                           static_cast<size_t>(args.x) * 4;
      const size_t d_off = static_cast<size_t>(args.dst_y + r) * static_cast<size_t>(args.dst_stride) +
                           static_cast<size_t>(args.dst_x) * 4;
      const Row row{args.src + s_off, use_mask ? args.layer_mask + s_off : nullptr, args.dst + d_off, args.width,
                    args.opacity, args.keep_dst_alpha};
      loop(row);
    }
  });
}

}  // namespace cvl
