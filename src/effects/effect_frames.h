// The reusable frames that every named effect runs in, and the slider mappings
// the effect rows share.
//
// A frame decides where an effect's pixels come from (a refreshed IPL source, the
// layer read directly, a 24-bit copy) and how its result goes back (loaded through
// the selection, keeping alpha, composited with a mix mode). The operation inside
// is a callable that returns true on success; a failed operation skips the
// write-back so the layer stays as it was.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "effects/inhouse_effects.h"

namespace cvl {

struct Engine;
struct ToolSettings;

// Where an effect runs; `effects` lists these names.
enum class Frame : uint8_t {
  P,         // filter: refreshed, premultiplied source -> destination, loaded
  R,         // refreshed source -> destination, loaded
  RS,        // as R on the source as the host left it
  L,         // the layer read into the source, changed in place, loaded
  RGB24,     // 24-bit copies; colour loaded, alpha kept
  G24,       // a grey plane into the 24-bit destination; colour loaded
  I,         // image-script effect in place on the layer
  IP,        // as I on a refreshed, premultiplied source
  S,         // image-script distortion that moves alpha with colour
  SL,        // as S with the layer read directly, no premultiply
  Chain,     // a recipe of steps, usually ending in a composite
  ChainOrL,  // a recipe or a single in-place step, by option
  Mask,      // builds the mask
  Tile,      // a rendered or cut tile repeated over the canvas
  Bump,      // a tiled relief composited in 16 bits
  Disp,      // displacement by a tiled relief
  Lua,       // a Lua filter script
};

const char* frame_name(Frame frame);
// A line on what the frame does with the layer.
const char* frame_description(Frame frame);

// The dispatcher's arguments, decoded once on entry.
struct EffectCall {
  int32_t i1 = 0;
  int32_t S[6] = {};  // raw sliders, tenths
  float s[6] = {};    // S / 10
  int32_t option = 0;
  int32_t i2 = 0;
  int32_t f[6] = {};
  int32_t r = 0, g = 0, b = 0;
  const char* text = nullptr;
  int32_t width = 0, height = 0;  // canvas
  uint8_t* src = nullptr;         // IPL source (32-bit)
  uint8_t* dst = nullptr;         // IPL destination (32-bit)
  Engine* canvas = nullptr;       // the canvas: its IPL images, current layer, mask
  const ToolSettings* tool = nullptr;  // the tool settings (paint colour)

  // Flags whose "1" has a fixed meaning per effect.
  bool flag(int k) const { return f[k] == 1; }
  // The colour as one word, r | g << 8 | b << 16.
  uint32_t colour() const {
    return static_cast<uint32_t>(r & 0xFF) | static_cast<uint32_t>(g & 0xFF) << 8 |
           static_cast<uint32_t>(b & 0xFF) << 16;
  }
  int32_t stride() const { return width * 4; }
  // Every argument passed through to an in-house effect.
  InhouseArgs all() const;
};

// Fixed in-house values for recipes: raw sliders in order P1, P2, ..., an option.
InhouseArgs fixed_args(std::initializer_list<int32_t> sliders, int32_t option = 0);

// Mix modes the recipes composite with.
namespace mix {
constexpr int32_t kNormal = 0, kOverlay = 8, kSoftLight = 10, kDodge = 11, kSubtract = 16, kTexturize = 17,
                  kTexturize2 = 18;
}

// ---- Steps the frames and recipes are made of ----------------------------------

// Refills the source from the current layer.
void refresh(const EffectCall& call);
void premultiply(const EffectCall& call, uint8_t* image);
void unpremultiply(const EffectCall& call, uint8_t* image);
// Reads the current layer into the source directly (transparent where there is none).
void read_layer_into_src(const EffectCall& call);
// Writes a canvas-sized RGBA32 image into the current layer through the selection.
int32_t load(const EffectCall& call, const uint8_t* image);
// Writes canvas-sized RGB24 colour through the selection, keeping alpha.
void load24(const EffectCall& call, const uint8_t* image);
// Weights the image's alpha by mask and texture and composites it onto the current
// layer with the mode at opacity 0..255, keeping alpha when the layer locks it.
void composite(const EffectCall& call, uint8_t* image, int32_t mode, int32_t opacity);
// Runs an in-house effect; false when it did not run.
bool inhouse(const EffectCall& call, const char* name, uint8_t copy, const InhouseArgs& args);
// Copies a grey plane into R, G and B of a packed 3-byte image.
void grey_to_rgb24(const uint8_t* grey, uint8_t* rgb, int32_t pixels);
// Swaps the first and third channel of every pixel (RGBA <-> BGRA).
void swap_red_blue(uint8_t* rgba, int32_t pixels);

// ---- Frames -----------------------------------------------------------------------
// `op` is a callable `bool()` that reads call.src and writes call.dst (P, R), or
// changes call.src in place (L).

template <class Op>
int32_t frame_p(const EffectCall& call, Op&& op) {
  refresh(call);
  premultiply(call, call.src);
  if (!op()) return 0;
  unpremultiply(call, call.dst);
  return load(call, call.dst);
}

// `as_it_stands` skips the refresh for rows that use the source the host left.
template <class Op>
int32_t frame_r(const EffectCall& call, Op&& op, bool as_it_stands = false) {
  if (!as_it_stands) refresh(call);
  if (!op()) return 0;
  return load(call, call.dst);
}

template <class Op>
int32_t frame_l(const EffectCall& call, Op&& op) {
  read_layer_into_src(call);
  if (!op()) return 0;
  return load(call, call.src);
}

// The 24-bit working pair; dst is null when the operation has no separate output.
struct Rgb24Pair {
  uint8_t* src = nullptr;
  uint8_t* dst = nullptr;
};
Rgb24Pair alloc_rgb24(const EffectCall& call, bool with_output);
void free_rgb24(const EffectCall& call);

// `op` is `const uint8_t*(Rgb24Pair)`: the image to load (src for in-place
// operations, dst otherwise), or null on failure.
template <class Op>
int32_t frame_24(const EffectCall& call, bool with_output, Op&& op) {
  const Rgb24Pair pair = alloc_rgb24(call, with_output);
  int32_t result = 0;
  if (pair.src && (pair.dst || !with_output)) {
    if (const uint8_t* out = op(pair)) {
      load24(call, out);
      result = 1;
    }
  }
  free_rgb24(call);
  return result;
}

// `op` is `bool(uint8_t* grey)` filling a W x H plane.
template <class Op>
int32_t frame_g24(const EffectCall& call, Op&& op) {
  const Rgb24Pair pair = alloc_rgb24(call, true);
  int32_t result = 0;
  if (pair.dst) {
    std::vector<uint8_t> grey(static_cast<size_t>(call.width) * call.height);
    if (op(grey.data())) {
      grey_to_rgb24(grey.data(), pair.dst, call.width * call.height);
      load24(call, pair.dst);
      result = 1;
    }
  }
  free_rgb24(call);
  return result;
}

// Image-script effect values, indexed as the effect numbers them (from 3 on).
struct ScriptValues {
  static constexpr int kFirst = 3;
  std::vector<int32_t> v;
  ScriptValues& set(int index, int32_t value) {
    if (index < kFirst) return *this;
    if (static_cast<size_t>(index - kFirst) >= v.size()) v.resize(index - kFirst + 1, 0);
    v[index - kFirst] = value;
    return *this;
  }
};

// Runs image-script effect `effect` on `image` (packed RGBA32, canvas-sized) in place.
bool run_script_effect(const EffectCall& call, int32_t effect, const ScriptValues& values, uint8_t* image);

// Frames I and IP.
int32_t frame_i(const EffectCall& call, int32_t effect, const ScriptValues& values);
int32_t frame_ip(const EffectCall& call, int32_t effect, const ScriptValues& values);
// Frames S and SL: the distortion is run on the alpha (carried in the first
// channel) and then on colour, so both move alike.
int32_t frame_s(const EffectCall& call, int32_t effect, const ScriptValues& values);
int32_t frame_sl(const EffectCall& call, int32_t effect, const ScriptValues& values);

// ---- Slider mappings ------------------------------------------------------------

inline int32_t trunc_i(double v) { return static_cast<int32_t>(v); }
// A radius or amplitude: s % of a canvas dimension.
inline double slider_extent(float s, int32_t dimension) { return s * 0.01 * dimension; }
// An angle in whole degrees: 0 -> -180, 50 -> 0, 100 -> 180.
inline int32_t slider_angle(float s) { return trunc_i(s * 0.01 * 360 - 180); }
// A centre offset along an axis of size D: 0 -> -D, 50 -> 0, 100 -> D.
inline int32_t slider_offset(float s, int32_t dimension) { return trunc_i(dimension * s * 0.01 * 2 - dimension); }
// How far a warp corner moves: 50 leaves it, 0 and 100 move it by half the box
// (scale 0.01) or twice the box (scale 0.04) in opposite directions.
inline double warp_corner_shift(int32_t box_extent, float s, double scale = 0.01) {
  return box_extent * scale * (50 - s);
}
// A slider as a byte over 0..100: trunc(s x 2.559).
inline int32_t slider_byte(float s) { return trunc_i(s * 2.559); }

// Generators take their colour-count index with 0 meaning the last entry.
inline int32_t generator_i2(int32_t i2) {
  if (i2 == 0) return 12;
  if (i2 >= 1 && i2 <= 12) return i2 - 1;
  return i2;
}

// Saturation factor of a 0..100 slider: -2..1 below the middle, 1..3 above.
inline double saturation_factor(float s2) {
  if (s2 > 50) return (s2 - 50) * 0.02 * 2 + 1;
  return s2 * 0.02 * 3 - 2;
}

// "Gaussian Blur" sigma: relative to the canvas when f1 = 1.
inline double gaussian_sigma(const EffectCall& call) {
  if (call.flag(0)) return call.s[0] * 0.01 * (call.width > call.height ? call.width : call.height) * 0.05;
  return call.s[0] * 0.4 + 0.6;
}
// The sigma the recipes use: s x 0.4 + 0.6.
inline double blur_sigma(float s) { return s * 0.4 + 0.6; }

// Bounding box of the current layer's non-transparent pixels, for polygon warps.
struct DataBox {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
};
DataBox current_layer_box(const EffectCall& call);
// Clears the destination to (r, g, b, 0) before a warp writes it.
void clear_dst_to_colour(const EffectCall& call);

}  // namespace cvl
