#include "brush/blob.h"

#include "core/engine.h"
#include "layers/layer_stack.h"

namespace cvl {

namespace {

constexpr uint16_t kMidGrey = 32767;
constexpr uint16_t kAlphaFloor = 8191;  // alphas up to this stay as they were

void toward_mid_grey(uint16_t* p, uint32_t lum) {
  if (lum > 32766) {
    const double t = (lum - 32767.0) / 65534;
    for (int c = 0; c < 3; ++c) p[c] = static_cast<uint16_t>(p[c] - p[c] * t);
  } else {
    const double t = (32767.0 - lum) / 65534;
    for (int c = 0; c < 3; ++c) p[c] = static_cast<uint16_t>(p[c] + t * (65535 - p[c]));
  }
}

}  // namespace

int32_t create_blob_from_image(Engine& e, int32_t slot, int32_t mode) {
  Layer* layer = layer_with_pixels(e, slot);
  if (!layer) return 0;
  for (int32_t y = 0; y < layer->height; ++y) {
    uint16_t* p = layer->data() + static_cast<size_t>(y) * static_cast<size_t>(layer->row_stride);
    for (int32_t x = 0; x < layer->width; ++x, p += 4) {
      const uint32_t lum = (static_cast<uint32_t>(p[0]) + p[1] + p[2]) / 3;
      if (mode == 1) {
        toward_mid_grey(p, lum);
      } else {
        p[0] = p[1] = p[2] = kMidGrey;
      }
      if (p[3] > kAlphaFloor) p[3] = static_cast<uint16_t>(lum * 0.843 + 10239);
    }
  }
  return layer->height;
}

}  // namespace cvl
