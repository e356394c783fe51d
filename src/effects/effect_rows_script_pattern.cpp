// Pattern tools: a square tile cut from a picture, bent by image-script effects,
// resized and repeated over the canvas.
//
//   s1  the tile's side, percent of the canvas's smaller side (at least 2 pixels)
//   s2  where it is cut: its centre, percent across
//   s3  and percent down
//   s4  its turn, trunc(s4 x 3.6) degrees (effect 51)
//   s5  how strongly the chosen bends act, percent
//   s6  the size it is repeated at, trunc(s6 x 2) percent of the cut (50 keeps it)
//   i1  the bends, one bit each: 1 waves (16), 2 sine distortion (13), 4 twirl (6),
//       8 tilt (54), 16 kaleidoscope (49); applied in that order after the turn
//   f1  mirrors every other tile so that neighbours meet along matching edges
//
// "Patternizer" cuts from the layer; "Pattern Explorer" from the pattern image the
// host stored in the IPL source (used as it stands) and takes no bends.
#include <algorithm>

#include "effects/effect_rows_script.h"
#include "effects/script_tile.h"

namespace cvl {
namespace {

struct Bend {
  int32_t bit, effect;
};
constexpr Bend kBends[] = {{1, 16}, {2, 13}, {4, 6}, {8, 54}, {16, 49}};

// Values of a bend on a tile of side `n` at strength k (0..1).
ScriptValues bend_values(int32_t effect, int32_t n, double k) {
  ScriptValues v;
  switch (effect) {
    case 16: v.set(3, std::max(4, n / 4)).set(4, trunc_i(k * n)); break;              // amplitude k x n / 10 px
    case 13: v.set(3, trunc_i(k * n * 0.25)).set(4, trunc_i(k * n * 0.25)).set(5, 2).set(6, 2).set(9, 1); break;
    case 6: v.set(3, trunc_i(k * 360)).set(4, 100).set(5, 50).set(7, 1); break;
    case 54: v.set(3, trunc_i(k * 600)); break;
    case 49: v.set(3, n / 2).set(4, n / 2).set(5, std::max(2, trunc_i(k * 12))); break;
  }
  return v;
}

int32_t make_pattern(const EffectCall& call, int32_t bends) {
  const int32_t w = call.width, h = call.height;
  const int32_t n = std::clamp(trunc_i(std::min(w, h) * call.s[0] * 0.01), std::min({2, w, h}), std::min(w, h));
  const int32_t left = std::clamp(trunc_i(w * call.s[1] * 0.01) - n / 2, 0, w - n);
  const int32_t top = std::clamp(trunc_i(h * call.s[2] * 0.01) - n / 2, 0, h - n);
  imaging::Image tile;
  tile.width = tile.height = n;
  tile.pixels.resize(size_t(n) * n * 4);
  for (int32_t y = 0; y < n; ++y)
    std::copy_n(call.src + (size_t(top + y) * w + left) * 4, size_t(n) * 4, tile.pixels.data() + size_t(y) * n * 4);

  // The bends see a tile-sized call, as they would a canvas.
  EffectCall on_tile = call;
  on_tile.width = on_tile.height = n;
  const int32_t degrees = trunc_i(call.s[3] * 3.6);
  if (degrees % 360 != 0) {
    ScriptValues turn;
    turn.set(3, degrees).set(4, 100);
    if (!run_script_effect(on_tile, 51, turn, tile.pixels.data())) return 0;
  }
  const double k = std::clamp(call.s[4] * 0.01, 0.0, 1.0);
  for (const Bend& b : kBends)
    if ((bends & b.bit) && !run_script_effect(on_tile, b.effect, bend_values(b.effect, n, k), tile.pixels.data()))
      return 0;

  repeat_tile(scale_tile(tile, trunc_i(call.s[5] * 2)), call.dst, w, h, call.flag(0));
  return load(call, call.dst);
}

}  // namespace

int32_t row_patternizer(const EffectCall& call) {
  refresh(call);
  return make_pattern(call, call.i1);
}

int32_t row_pattern_explorer(const EffectCall& call) { return make_pattern(call, 0); }

}  // namespace cvl
