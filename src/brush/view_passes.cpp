// The view's per-layer loops: one per mix mode, with and without a layer mask,
// chosen once per render call.
//
// A pass over a span first settles every sample that needs no arithmetic
// (transparent samples skipped, an empty accumulator or an opaque Normal sample
// replaced exactly) and queues the rest; the queue is then blended four samples
// at a time in single precision.
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

// Samples of one pass waiting for the floating-point blend.
struct ViewQueue {
  alignas(16) int32_t c[3][kViewChunk + 4];
  alignas(16) int32_t o[kViewChunk + 4];
  int32_t at[kViewChunk + 4];
  int32_t count = 0;

  void push(int32_t i, const SourcePixel& p) {
    const int32_t n = count++;
    for (int ch = 0; ch < 3; ++ch) c[ch][n] = static_cast<int32_t>(p.c[ch]);
    o[n] = static_cast<int32_t>(p.o);
    at[n] = i;
  }

  // Repeats the last entry up to a multiple of four; a repeat computes the same
  // values for the same sample again.
  void pad() {
    while (count % 4 != 0) {
      const int32_t last = count - 1, n = count++;
      for (int ch = 0; ch < 3; ++ch) c[ch][n] = c[ch][last];
      o[n] = o[last];
      at[n] = at[last];
    }
  }
};

inline f32x4 load_lanes(const int32_t* p) {
  i32x4 v;
  std::memcpy(&v, p, sizeof v);
  return lane_float(v);
}

// The accumulator of four samples as the blend's destination: premultiplied
// colour D and alpha Da. Integer samples scale as the compositor scales layer
// words; blended samples carry their real values on.
inline void destination_lanes(const ViewAccumulator& acc, const int32_t* at, f32x4 D[3], f32x4& Da) {
  f32x4 words[4] = {}, real[4] = {};
  i32x4 is_real = {};
  for (int l = 0; l < 4; ++l) {
    const int32_t i = at[l];
    if (acc.is_real[i]) {
      for (int ch = 0; ch < 4; ++ch) real[ch][l] = acc.real[ch][i];
      is_real[l] = -1;
    } else {
      for (int ch = 0; ch < 4; ++ch) words[ch][l] = static_cast<float>(acc.px[i * 4 + ch]);
    }
  }
  const f32x4 word_alpha = words[3] / splat<f32x4>(65535.0f);
  Da = is_real ? real[3] : word_alpha;
  for (int ch = 0; ch < 3; ++ch) {
    D[ch] = is_real ? real[ch] * real[3] : words[ch] * word_alpha / splat<f32x4>(65280.0f);
  }
}

template <int K>
void blend_queue(ViewQueue& q, ViewAccumulator& acc) {
  if (q.count == 0) return;
  q.pad();
  for (int32_t j = 0; j < q.count; j += 4) {
    const f32x4 c[3] = {load_lanes(&q.c[0][j]), load_lanes(&q.c[1][j]), load_lanes(&q.c[2][j])};
    f32x4 D[3], Da, out[3], Ra;
    destination_lanes(acc, &q.at[j], D, Da);
    blend_real<K>(c, load_lanes(&q.o[j]), D, Da, out, Ra);
    for (int l = 0; l < 4; ++l) {
      const int32_t i = q.at[j + l];
      for (int ch = 0; ch < 3; ++ch) acc.real[ch][i] = out[ch][l];
      acc.real[3][i] = Ra[l];
      acc.is_real[i] = 1;
    }
  }
  q.count = 0;
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
  ViewQueue queue;
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
    queue.push(i, p);
  }
  blend_queue<blend_kind(Mode, false)>(queue, acc);
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
