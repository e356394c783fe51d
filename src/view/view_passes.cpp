// The view's per-layer loops: one per mix mode, with and without a layer mask,
// chosen once per render call.
//
// A pass over a span settles every sample that needs no arithmetic
// (transparent samples skipped, an empty accumulator or an opaque Normal sample
// replaced exactly) with integers and blends the rest in single precision with
// the compositor's own blend: runs of samples that all need it four or eight at a
// time, the others one by one.
#include <array>
#include <cstring>
#include <utility>

#include "view/view_accumulator.h"
#include "view/view_layers.h"
#include "layers/alpha_modes.h"
#include "layers/blend_formulas.h"
#include "layers/composite.h"
#include "layers/mix_mode_names.h"

namespace cvl {

void ViewAccumulator::clear(int32_t n) {
  std::memset(px, 0, static_cast<size_t>(n) * 8);
  std::memset(is_real, 0, static_cast<size_t>(n));
}

namespace {

// Blends the source over sample i with the compositor's blend of mode K and
// keeps the untruncated result.
template <int K>
inline void blend_sample(ViewAccumulator& acc, int32_t i, const SourcePixel& p) {
  float c[3], dc[3], alpha, out[4];
  for (int ch = 0; ch < 3; ++ch) c[ch] = static_cast<float>(p.c[ch]);
  if (acc.is_real[i]) {
    for (int ch = 0; ch < 3; ++ch) dc[ch] = acc.real[ch][i];
    alpha = acc.real[3][i];
  } else {
    const uint16_t* ap = acc.px + i * 4;
    for (int ch = 0; ch < 3; ++ch) dc[ch] = static_cast<float>(ap[ch]);
    alpha = static_cast<float>(ap[3]);
  }
  blend_pixel_unrounded<K>(c, static_cast<float>(p.o), dc, alpha, out);
  for (int ch = 0; ch < 4; ++ch) acc.real[ch][i] = out[ch];
  acc.is_real[i] = 1;
}

inline void set_words(uint16_t* ap, const SourcePixel& p, uint32_t alpha) {
  ap[0] = static_cast<uint16_t>(p.c[0]);
  ap[1] = static_cast<uint16_t>(p.c[1]);
  ap[2] = static_cast<uint16_t>(p.c[2]);
  ap[3] = static_cast<uint16_t>(alpha);
}

// Settles W samples from i at once when they all go the same way: every one lands
// on an empty accumulator (the bottom layer of a stack) and is stored as it is, or
// every one needs the float blend (none transparent, none on an empty accumulator,
// none an opaque Normal sample). False, with nothing changed, otherwise. 1:1 spans
// only, where the samples are consecutive pixels.
template <int Mode, class F, class I>
CVL_LANES_INLINE bool settle_group(const ViewPassArgs& args, ViewAccumulator& acc, int32_t i) {
  constexpr int W = lane_count<I>;
  constexpr bool kNormal = Mode == 0 || Mode == 20;
  constexpr uint64_t kAllReal = W == 8 ? 0x0101010101010101ull : 0x01010101ull;
  uint64_t flags = 0;
  std::memcpy(&flags, acc.is_real + i, W);
  // Samples blended before beside ones still in words go one by one.
  if (flags != 0 && flags != kAllReal) return false;
  I s[4] = {}, words[4] = {};
  load_rgba64_lanes(args.src + i * 4, s);
  const I zero = I{} + 0;
  I o = s[3];
  if (args.opacity < 255) o = ((I{} + (args.opacity + 1)) * o) >> 8;
  const I shown = s[3] != zero;
  if (flags == 0) {
    load_rgba64_lanes(acc.px + i * 4, words);
    const I empty = words[3] == zero;
    if constexpr (!is_texturize(Mode)) {
      if (all_lanes(shown & empty)) {
        const I stored[4] = {s[0], s[1], s[2], o};
        store_rgba64_lanes(acc.px + i * 4, stored);
        return true;
      }
    }
    if (!all_lanes(empty == zero)) return false;
  }
  I blends = shown;
  if constexpr (kNormal) blends &= o <= (I{} + 65279);
  if (!all_lanes(blends)) return false;
  F d[4];
  for (int ch = 0; ch < 4; ++ch) {
    if (flags == 0) {
      d[ch] = lane_float(words[ch]);
    } else {
      std::memcpy(&d[ch], acc.real[ch] + i, sizeof(F));
    }
  }
  const F c[3] = {lane_float(s[0]), lane_float(s[1]), lane_float(s[2])};
  F out[4];
  blend_pixel_unrounded<blend_kind(Mode, false)>(c, lane_float(o), d, d[3], out);
  for (int ch = 0; ch < 4; ++ch) std::memcpy(acc.real[ch] + i, &out[ch], sizeof(F));
  std::memset(acc.is_real + i, 1, W);
  return true;
}

template <int Mode, bool Masked, class F, class I>
CVL_LANES_INLINE void view_layer_pass_lanes(const ViewPassArgs& args, ViewAccumulator& acc) {
  constexpr int W = lane_count<I>;
  constexpr bool kAlphaMode = Mode > 20;
  constexpr bool kNormal = Mode == 0 || Mode == 20;
  // Copying whole words is only right while nothing rescales the alpha.
  const bool plain = kNormal && !Masked && !args.forced_opaque && args.opacity >= 255;
  const bool runs = plain && args.step == 4;
  // The background is listed first, so it always lands on an empty accumulator.
  const bool opaque_background = kNormal && !Masked && args.forced_opaque && args.opacity >= 255;
  // Whole groups are blended at once where no per-sample step intervenes.
  const bool groups = !kAlphaMode && !Masked && !args.forced_opaque && args.step == 4;
  int32_t next_group = args.begin;  // after a group that could not be blended whole, the next W go one by one
  for (int32_t i = args.begin; i < args.end; ++i) {
    if (groups && i >= next_group) {
      while (i + W <= args.end && settle_group<Mode, F, I>(args, acc, i)) i += W;
      if (i == args.end) break;
      next_group = i + W;
    }
    const uint16_t* sp = args.src + i * args.step;
    uint16_t* ap = acc.px + i * 4;
    if (runs) {
      while (i + 4 <= args.end && (sp[3] & sp[7] & sp[11] & sp[15]) == 65535) {
        std::memcpy(ap, sp, 32);
        std::memset(acc.is_real + i, 0, 4);
        i += 4;
        sp += 16;
        ap += 16;
      }
      if (i == args.end) break;
    }
    if (opaque_background) {
      std::memcpy(ap, sp, 6);
      ap[3] = 65535;
      continue;
    }
    uint32_t a = sp[3];
    if (plain && a == 65535) {
      std::memcpy(ap, sp, 8);
      acc.is_real[i] = 0;
      continue;
    }
    if (args.forced_opaque) {
      a = 65535;
    } else if (!kAlphaMode && a == 0) {
      continue;
    }
    if constexpr (Masked) {
      const uint16_t* mp = args.mask + i * args.step;
      if (mp[3] != 0) {
        a = ((static_cast<uint32_t>(mp[0]) + mp[1] + mp[2]) / 3 * a) >> 16;
        if (args.forced_opaque) a = 65535;
      }
    }
    if (args.opacity < 255) a = (static_cast<uint32_t>(args.opacity + 1) * a) >> 8;
    SourcePixel p{{sp[0], sp[1], sp[2]}, a};
    if constexpr (kAlphaMode) apply_alpha_step<Mode, false>(p, a);
    if (!acc.is_real[i] && ap[3] == 0) {
      // Texturize needs something below to texture.
      if constexpr (!is_texturize(Mode)) set_words(ap, p, p.o);
      continue;
    }
    if constexpr (kNormal) {
      if (p.o > 65279) {
        set_words(ap, p, 65535);
        acc.is_real[i] = 0;
        continue;
      }
    }
    blend_sample<blend_kind(Mode, false)>(acc, i, p);
  }
}

template <int Mode, bool Masked>
void view_layer_pass_4(const ViewPassArgs& args, ViewAccumulator& acc) {
  view_layer_pass_lanes<Mode, Masked, f32x4, i32x4>(args, acc);
}

#if defined(CVL_HAVE_AVX2_LANES)
template <int Mode, bool Masked>
__attribute__((target("avx2"), flatten)) void view_layer_pass_8(const ViewPassArgs& args, ViewAccumulator& acc) {
  view_layer_pass_lanes<Mode, Masked, f32x8, i32x8>(args, acc);
}
#else
template <int Mode, bool Masked>
void view_layer_pass_8(const ViewPassArgs& args, ViewAccumulator& acc) {
  view_layer_pass_4<Mode, Masked>(args, acc);
}
#endif

using PassPair = std::array<ViewPass, 2>;

template <bool Wide, size_t... Modes>
constexpr std::array<PassPair, sizeof...(Modes)> make_passes(std::index_sequence<Modes...>) {
  if constexpr (Wide) {
    return {{{&view_layer_pass_8<Modes, false>, &view_layer_pass_8<Modes, true>}...}};
  } else {
    return {{{&view_layer_pass_4<Modes, false>, &view_layer_pass_4<Modes, true>}...}};
  }
}

constexpr std::array<std::array<PassPair, kMixModeCount>, 2> kPasses = {
    make_passes<false>(std::make_index_sequence<kMixModeCount>{}),
    make_passes<true>(std::make_index_sequence<kMixModeCount>{})};

}  // namespace

ViewPass view_pass(int32_t mode, bool masked) {
  const int32_t m = (mode >= 0 && mode < kMixModeCount) ? mode : 0;
  return kPasses[wide_lanes() ? 1 : 0][static_cast<size_t>(m)][masked ? 1 : 0];
}

}  // namespace cvl
