#include "brush/brush_shape.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/tool_settings.h"
#include "core/engine.h"
#include "codecs/codec.h"
#include "imaging/geometry/resample.h"
#include "imagescript/imagescript.h"

namespace cvl {

namespace {

// What the kept tip image (the canvas's brush_shape_image) was made from. The pixels
// live in the engine record so that a new canvas releases them with the other
// brush buffers; an empty image means nothing is kept, whatever this says.
struct KeptTip {
  char path[1024] = {};
  bool has_path = false;  // false when the path did not fit and cannot be compared
  int32_t angle = 0;
  int32_t width = 0;
  int32_t height = 0;
};

KeptTip& kept() {
  static KeptTip tip;
  return tip;
}

void forget_tip_image(Engine& e) {
  e.brush_shape_image.reset();
  kept() = KeptTip{};
}

bool kept_matches(const Engine& e, const char* path, int32_t angle) {
  const KeptTip& k = kept();
  return e.brush_shape_image && k.has_path && k.angle == angle && std::strcmp(k.path, path) == 0;
}

// The tip is resampled as packed RGBA32 of exactly its stated size.
bool usable(const imaging::Image& img) {
  return img.width > 0 && img.height > 0 && img.channels == 4 &&
         img.pixels.size() == static_cast<size_t>(img.width) * static_cast<size_t>(img.height) * 4;
}

bool load_tip_image(const char* path, TipSource source, imaging::Image& img) {
  if (source == TipSource::ScriptOrImage &&
      imagescript::render_script(path, img) == imagescript::ScriptResult::Ok && usable(img))
    return true;
  return imaging::decode_file(path, img) && usable(img);
}

void keep_tip_image(Engine& e, const char* path, int32_t angle, const imaging::Image& img) {
  e.brush_shape_image = Buffer<uint8_t>(img.pixels.size());
  std::memcpy(e.brush_shape_image.get(), img.pixels.data(), img.pixels.size());
  KeptTip& k = kept();
  k.width = img.width;
  k.height = img.height;
  k.angle = angle;
  // A path longer than the stored text would compare equal to others sharing its
  // first 1023 characters, so such a tip is never taken from the cache.
  const size_t len = std::strlen(path);
  k.has_path = len < sizeof k.path;
  if (k.has_path) std::memcpy(k.path, path, len + 1);
}

// Resizes when the brush is at least as wide as the image and averages areas when
// it is narrower (only the width decides), then reduces to one grey byte per pixel.
bool resample_to_grey(const uint8_t* rgba, int32_t width, int32_t height, int32_t size, std::vector<uint8_t>& grey) {
  if (width <= 0 || height <= 0 || size <= 0) return false;
  const size_t pixels = static_cast<size_t>(size) * static_cast<size_t>(size);
  std::vector<uint8_t> scaled(pixels * 4);
  const imaging::ImageView src{const_cast<uint8_t*>(rgba), width, height, 4, width * 4};
  const imaging::ImageView dst{scaled.data(), size, size, 4, size * 4};
  if (size >= width)
    imaging::resize_bilinear(src, dst);
  else
    imaging::decimate_area(src, dst);
  grey.assign(pixels, 0);
  imaging::to_grey8(dst, {grey.data(), size, size, 1, size});
  return true;
}

// Truncates a tip value and keeps its low 16 bits, as the 16-bit store does;
// values beyond the 32-bit range (a wild tip strength) store 0.
uint16_t tip_value(double v) {
  if (!(v > -2147483648.0 && v < 2147483648.0)) return 0;
  return static_cast<uint16_t>(static_cast<int32_t>(v));
}

// Only the part of the tip inside the brush_capacity square exists.
int32_t tip_edge(const Engine& e, const ToolSettings& t) { return std::clamp(t.brush_size, 0, e.brush_capacity); }

void store_grey_tip(Engine& e, const ToolSettings& t, const std::vector<uint8_t>& grey, int32_t size) {
  const size_t k = static_cast<size_t>(e.brush_capacity);
  const float strength = t.tip_strength;
  const int32_t edge = tip_edge(e, t);
  for (int32_t row = 0; row < edge; ++row) {
    const uint8_t* g = grey.data() + static_cast<size_t>(row) * static_cast<size_t>(size);
    uint16_t* out = e.brush_alpha.get() + static_cast<size_t>(row) * k;
    for (int32_t col = 0; col < edge; ++col)
      out[col] = tip_value(static_cast<float>(g[col] * 256) * strength);
  }
}

// Empty when the tip was built, else why not.
FailureCause build_file_tip(Engine& e, const ToolSettings& t, const char* path, int32_t angle, TipSource source) {
  if (!kept_matches(e, path, angle)) {
    forget_tip_image(e);
    imaging::Image img;
    if (!load_tip_image(path, source, img))
      return "cannot make a tip of " + std::string(path) +
             (source == TipSource::ImageOnly ? " (missing, or not a picture the engine reads)"
                                             : " (missing, or neither an image script nor a picture the engine reads)");
    // Turning by zero degrees is the identity; any other angle goes through the
    // rotation effect, which leaves the image as it was when it cannot run.
    if (angle != 0) imagescript::rotate_in_place(img.pixels.data(), img.width, img.height, angle);
    keep_tip_image(e, path, angle, img);
  }
  const int32_t size = t.brush_size;
  std::vector<uint8_t> grey;
  if (!resample_to_grey(e.brush_shape_image.get(), kept().width, kept().height, size, grey))
    return "the brush size " + std::to_string(size) + " leaves no room for the tip of " + path;
  store_grey_tip(e, t, grey, size);
  e.drawing_length = t.drawing_length_reset;
  return {};
}

}  // namespace

void build_round_tip(Engine& e, const ToolSettings& t) {
  const size_t k = static_cast<size_t>(e.brush_capacity);
  const double radius = t.brush_size * 0.5;
  const int32_t c = t.brush_size / 2;
  const double soft = radius * t.tip_softness / 255;  // width of the soft edge
  const double inner = radius - soft;
  const int32_t edge = tip_edge(e, t);
  // A pixel's value depends only on its whole-pixel distance from the centre, so
  // each distance is worked out once; beyond the radius the value stays 0.
  const int32_t reach = std::max(c, edge) + 1;
  std::vector<uint16_t> by_distance(static_cast<size_t>(reach * 3 / 2) + 1, 0);
  for (int32_t dist = 0; dist < static_cast<int32_t>(by_distance.size()) && dist <= radius; ++dist) {
    double m = 65535;
    if (t.tip_softness > 0 && dist > inner) m = std::clamp((soft - (dist - inner)) / soft * 65535, 0.0, 65535.0);
    if (t.tip_invert) m = std::abs(std::trunc(m - 65535));
    by_distance[static_cast<size_t>(dist)] = tip_value(m * t.tip_strength);
  }
  // Tip pixel (row j, column i).
  for (int32_t j = 0; j < edge; ++j) {
    uint16_t* out = e.brush_alpha.get() + static_cast<size_t>(j) * k;
    const int32_t dy2 = (j - c) * (j - c);
    for (int32_t i = 0; i < edge; ++i) {
      const int32_t dist = static_cast<int32_t>(std::sqrt(static_cast<double>((i - c) * (i - c) + dy2)));
      out[i] = by_distance[static_cast<size_t>(dist)];
    }
  }
}

FailureCause set_brush_shape(Engine& e, const ToolSettings& t, const char* path, int32_t angle, TipSource source) {
  if (!e.brush_alpha) return "there is no canvas yet";
  std::fill_n(e.brush_alpha.get(), e.brush_alpha.size(), uint16_t{0});
  if (!path || std::strlen(path) < 2) {
    build_round_tip(e, t);
    return {};
  }
  const FailureCause file_tip = build_file_tip(e, t, path, angle, source);
  if (file_tip.empty()) return {};
  build_round_tip(e, t);
  return file_tip + "; the tip is round";
}

}  // namespace cvl
