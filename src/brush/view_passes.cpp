// The view's per-layer loops: one per mix mode, with and without a layer mask,
// chosen once per render call.
//
// A pass over a span settles every sample that needs no arithmetic
// (transparent samples skipped, an empty accumulator or an opaque Normal sample
// replaced exactly) with integers and blends the rest in single precision.
#include <array>
#include <cstring>
#include <utility>

#include "brush/view_accumulator.h"
#include "brush/view_layers.h"
#include "layers/alpha_modes.h"
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
  Unrounded c[3], dc[3], alpha, out[4];
  for (int ch = 0; ch < 3; ++ch) c[ch] = static_cast<float>(p.c[ch]);
  float* real = acc.real[i];
  if (acc.is_real[i]) {
    for (int ch = 0; ch < 3; ++ch) dc[ch] = real[ch];
    alpha = real[3];
  } else {
    const uint16_t* ap = acc.px + i * 4;
    for (int ch = 0; ch < 3; ++ch) dc[ch] = static_cast<float>(ap[ch]);
    alpha = static_cast<float>(ap[3]);
  }
  blend_pixel<K>(c, Unrounded(static_cast<float>(p.o)), dc, alpha, out);
  for (int ch = 0; ch < 4; ++ch) real[ch] = out[ch].v;
  acc.is_real[i] = 1;
}

inline void set_words(uint16_t* ap, const SourcePixel& p, uint32_t alpha) {
  ap[0] = static_cast<uint16_t>(p.c[0]);
  ap[1] = static_cast<uint16_t>(p.c[1]);
  ap[2] = static_cast<uint16_t>(p.c[2]);
  ap[3] = static_cast<uint16_t>(alpha);
}

template <int Mode, bool Masked>
void view_layer_pass(const ViewPassArgs& args, ViewAccumulator& acc) {
  constexpr bool kAlphaMode = Mode > 20;
  constexpr bool kNormal = Mode == 0 || Mode == 20;
  // Copying whole words is only right while nothing rescales the alpha.
  const bool plain = kNormal && !Masked && !args.forced_opaque && args.opacity >= 255;
  const bool runs = plain && args.step == 4;
  // The background is listed first, so it always lands on an empty accumulator.
  const bool opaque_background = kNormal && !Masked && args.forced_opaque && args.opacity >= 255;
  for (int32_t i = args.begin; i < args.end; ++i) {
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

using PassPair = std::array<ViewPass, 2>;

template <size_t... Modes>
constexpr std::array<PassPair, sizeof...(Modes)> make_passes(std::index_sequence<Modes...>) {
  return {{{&view_layer_pass<Modes, false>, &view_layer_pass<Modes, true>}...}};
}

constexpr auto kPasses = make_passes(std::make_index_sequence<kMixModeCount>{});

}  // namespace

ViewPass view_pass(int32_t mode, bool masked) {
  const int32_t m = (mode >= 0 && mode < kMixModeCount) ? mode : 0;
  return kPasses[static_cast<size_t>(m)][masked ? 1 : 0];
}

}  // namespace cvl
