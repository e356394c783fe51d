#include "imaging/tone/tone_curves.h"

#include <algorithm>
#include <cmath>

#include "imaging/channel_mask.h"
#include "imaging/tone/lut.h"

namespace cvl::imaging {
namespace {

uint8_t clamp_round(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

bool apply_tone_table(const ImageView& image, const uint8_t table[256], uint32_t channel_mask) {
  if (!same_shape(image, image)) return false;
  const uint8_t* tables[4] = {};
  for (int32_t c = 0; c < image.channels && c < 4; ++c)
    if (channel_mask >> c & 1) tables[c] = table;
  apply_luts(image, tables);
  return true;
}

bool adjust_brightness_contrast(const ImageView& image, double brightness, double contrast, uint32_t channel_mask) {
  if (!std::isfinite(brightness) || !std::isfinite(contrast)) return false;
  contrast = std::clamp(contrast, -1.0, 1.0);
  // Full contrast would divide by zero; 1/256 already sends every value but the
  // middle one to 0 or 255.
  const double gain = contrast < 0 ? 1 + contrast : 1 / std::max(1 - contrast, 1.0 / 256);
  const double shift = brightness * 255;
  uint8_t table[256];
  for (int v = 0; v < 256; ++v) table[v] = clamp_round((v - 127.5) * gain + 127.5 + shift);
  return apply_tone_table(image, table, channel_mask);
}

bool adjust_gamma(const ImageView& image, double gamma, uint32_t channel_mask) {
  if (!std::isfinite(gamma)) return false;
  const double exponent = 1 / std::max(gamma, 1.0 / 256);
  uint8_t table[256];
  for (int v = 0; v < 256; ++v) table[v] = clamp_round(255 * std::pow(v / 255.0, exponent));
  return apply_tone_table(image, table, channel_mask);
}

bool posterize(const ImageView& image, int32_t levels, uint32_t channel_mask) {
  levels = std::clamp(levels, 2, 256);
  uint8_t table[256];
  for (int v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>((v * levels / 256) * 255 / (levels - 1));
  return apply_tone_table(image, table, channel_mask);
}

bool solarize(const ImageView& image, int32_t threshold_value, uint32_t channel_mask) {
  uint8_t table[256];
  for (int v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>(v >= threshold_value ? 255 - v : v);
  return apply_tone_table(image, table, channel_mask);
}

bool threshold(const ImageView& image, int32_t lo, int32_t hi, uint32_t channel_mask) {
  if (lo > hi) std::swap(lo, hi);
  uint8_t table[256];
  for (int v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>(v < lo ? 0 : v > hi ? 255 : v);
  return apply_tone_table(image, table, channel_mask);
}

}  // namespace cvl::imaging
