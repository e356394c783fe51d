#include "effects/effect_frames.h"

#include <cstring>

#include "core/engine.h"
#include "layers/pixel_access.h"
#include "core/pixel_convert.h"
#include "layers/rgba32_loader.h"
#include "imagescript/imagescript.h"
#include "layers/ipl_images.h"
#include "layers/filter_prep.h"
#include "layers/merge.h"

namespace cvl {

const char* frame_name(Frame frame) {
  switch (frame) {
    case Frame::P: return "P";
    case Frame::R: return "R";
    case Frame::RS: return "R (source as it stands)";
    case Frame::L: return "L";
    case Frame::RGB24: return "24";
    case Frame::G24: return "G24";
    case Frame::I: return "I";
    case Frame::IP: return "IP";
    case Frame::S: return "S";
    case Frame::SL: return "SL";
    case Frame::Chain: return "chain";
    case Frame::ChainOrL: return "chain / L";
    case Frame::Mask: return "mask";
    case Frame::Tile: return "tile";
    case Frame::Bump: return "bump";
    case Frame::Disp: return "disp";
    case Frame::Lua: return "lua";
  }
  return "?";
}

const char* frame_description(Frame frame) {
  switch (frame) {
    case Frame::P: return "filters a premultiplied copy of the layer and loads the result through the selection";
    case Frame::R: return "works from a fresh copy of the layer and loads the result through the selection";
    case Frame::RS: return "works from the source buffer as the host left it and loads the result through the selection";
    case Frame::L: return "changes the layer's pixels in place, through the selection";
    case Frame::RGB24: return "works on the colour alone; the layer's alpha is kept";
    case Frame::G24: return "makes a grey picture from the colour; the layer's alpha is kept";
    case Frame::I: return "an image-script effect applied to the layer in place";
    case Frame::IP: return "an image-script effect applied to a premultiplied copy of the layer";
    case Frame::S: return "an image-script distortion that moves alpha with the colour";
    case Frame::SL: return "an image-script distortion of the layer's pixels as they stand, alpha moving with colour";
    case Frame::Chain: return "a recipe of steps, usually ending in a blend onto the layer";
    case Frame::ChainOrL: return "a recipe of steps or a single in-place step, chosen by the option";
    case Frame::Mask: return "builds the selection mask from the picture; the layer is unchanged";
    case Frame::Tile: return "a rendered or cut tile repeated over the canvas";
    case Frame::Bump: return "a tiled relief blended onto the layer in 16 bits";
    case Frame::Disp: return "moves the layer's pixels by a tiled relief";
    case Frame::Lua: return "runs a Lua filter script on the layer";
  }
  return "";
}

InhouseArgs EffectCall::all() const {
  InhouseArgs a;
  for (int k = 0; k < 6; ++k) {
    a.s[k] = S[k];
    a.f[k] = f[k];
  }
  a.option = option;
  a.i2 = i2;
  a.r = r;
  a.g = g;
  a.b = b;
  return a;
}

InhouseArgs fixed_args(std::initializer_list<int32_t> sliders, int32_t option) {
  InhouseArgs a;
  int k = 0;
  for (int32_t v : sliders) {
    if (k == 6) break;
    a.s[k++] = v;
  }
  a.option = option;
  return a;
}

void refresh(const EffectCall& call) { ipl_update_src32(*call.canvas); }

void premultiply(const EffectCall& call, uint8_t* image) { adjust_rgba32_pre_filter(image, call.width, call.height); }

void unpremultiply(const EffectCall& call, uint8_t* image) {
  adjust_rgba32_post_filter(image, call.width, call.height);
}

void read_layer_into_src(const EffectCall& call) {
  const Layer* layer = ipl_source_layer(*call.canvas);
  // Where the layer does not reach (none, or smaller than the canvas) the source is
  // transparent, not what the last effect left there.
  if (!layer || layer->width < call.width || layer->height < call.height)
    std::memset(call.src, 0, static_cast<size_t>(call.stride()) * call.height);
  if (layer) get_rgba32_layer(*call.canvas, call.src, call.stride(), layer);
}

int32_t load(const EffectCall& call, const uint8_t* image) {
  return load_rgba32(*call.canvas, image, call.stride(), true);
}

void load24(const EffectCall& call, const uint8_t* image) { load_rgb24(*call.canvas, image, call.width * 3, true); }

void composite(const EffectCall& call, uint8_t* image, int32_t mode, int32_t opacity) {
  adjust_rgba32_by_mask_and_texture(*call.canvas, image, call.width, call.height);
  Layer* layer = ipl_source_layer(*call.canvas);
  if (!layer) return;
  merge_rgba32_into_layer(*call.canvas, image, *layer, mode, 0, opacity, layer->lockAlpha != 0);
}

bool inhouse(const EffectCall& call, const char* name, uint8_t copy, const InhouseArgs& args) {
  return inhouse_entry(*call.canvas, *call.tool, name, copy, args) != 0;
}

void grey_to_rgb24(const uint8_t* grey, uint8_t* rgb, int32_t pixels) {
  for (int32_t i = 0; i < pixels; ++i) {
    const uint8_t v = grey[i];
    rgb[i * 3] = v;
    rgb[i * 3 + 1] = v;
    rgb[i * 3 + 2] = v;
  }
}

void swap_red_blue(uint8_t* rgba, int32_t pixels) {
  for (int32_t i = 0; i < pixels; ++i) {
    uint8_t* p = rgba + static_cast<size_t>(i) * 4;
    const uint8_t t = p[0];
    p[0] = p[2];
    p[2] = t;
  }
}

Rgb24Pair alloc_rgb24(const EffectCall& call, bool with_output) {
  Rgb24Pair pair;
  pair.src = ipl_alloc(*call.canvas, IplBuffer::Src24);
  if (with_output) pair.dst = ipl_alloc(*call.canvas, IplBuffer::Dst24);
  return pair;
}

void free_rgb24(const EffectCall& call) {
  ipl_free(*call.canvas, IplBuffer::Src24);
  ipl_free(*call.canvas, IplBuffer::Dst24);
}

// The engine's image-script library reads and writes pixels in the engine's own
// order (R, G, B, A), as its rendered scripts are, so the colours an effect is
// given and the brightness it weighs come out right without a swap around the call.
bool run_script_effect(const EffectCall& call, int32_t effect, const ScriptValues& values, uint8_t* image) {
  return imagescript::run_effect(effect, values.v.data(), static_cast<int32_t>(values.v.size()), image,
                                 call.width, call.height);
}

int32_t frame_i(const EffectCall& call, int32_t effect, const ScriptValues& values) {
  read_layer_into_src(call);
  if (!run_script_effect(call, effect, values, call.src)) return 0;
  return load(call, call.src);
}

int32_t frame_ip(const EffectCall& call, int32_t effect, const ScriptValues& values) {
  refresh(call);
  premultiply(call, call.src);
  if (!run_script_effect(call, effect, values, call.src)) return 0;
  unpremultiply(call, call.src);
  return load(call, call.src);
}

namespace {

// The alpha plane is moved through the colour effect by standing in for the first
// channel, so that it is distorted exactly as colour will be. An effect that moves
// every channel by one rule already carries alpha in its own channel exactly so
// (premultiplying leaves alpha as it is), and skips the separate pass.
int32_t distort_with_alpha(const EffectCall& call, int32_t effect, const ScriptValues& values, bool from_layer) {
  const int32_t pixels = call.width * call.height;
  const bool alpha_pass = !imagescript::moves_channels_alike(effect);
  std::vector<uint8_t> alpha(alpha_pass ? static_cast<size_t>(pixels) : 0);
  auto fresh = [&] {
    if (from_layer)
      read_layer_into_src(call);
    else
      refresh(call);
  };
  if (alpha_pass) {
    fresh();
    for (int32_t i = 0; i < pixels; ++i) call.src[i * 4] = call.src[i * 4 + 3];
    if (!run_script_effect(call, effect, values, call.src)) return 0;
    for (int32_t i = 0; i < pixels; ++i) alpha[i] = call.src[i * 4];
  }

  fresh();
  if (!from_layer) premultiply(call, call.src);
  if (!run_script_effect(call, effect, values, call.src)) return 0;
  if (alpha_pass)
    for (int32_t i = 0; i < pixels; ++i) call.src[i * 4 + 3] = alpha[i];
  if (!from_layer) unpremultiply(call, call.src);
  return load(call, call.src);
}

}  // namespace

int32_t frame_s(const EffectCall& call, int32_t effect, const ScriptValues& values) {
  return distort_with_alpha(call, effect, values, false);
}

int32_t frame_sl(const EffectCall& call, int32_t effect, const ScriptValues& values) {
  return distort_with_alpha(call, effect, values, true);
}

DataBox current_layer_box(const EffectCall& call) {
  DataBox box;
  find_data_extents(*call.canvas, call.canvas->current_layer_num, &box.left, &box.top, &box.right, &box.bottom);
  return box;
}

void clear_dst_to_colour(const EffectCall& call) {
  clear_rgba32(call.dst, call.stride(), call.width, call.height, static_cast<uint8_t>(call.r),
               static_cast<uint8_t>(call.g), static_cast<uint8_t>(call.b), 0);
}

}  // namespace cvl
