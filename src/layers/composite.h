// The one per-pixel compositor of layers and of every image drawn into a layer.
//
// A source rectangle is combined with a destination rectangle of the same size
// by a layer mix mode (0..40, see mix_mode_names.h). Pixels are RGBA64, not
// premultiplied; strides are in 16-bit words. The caller keeps both rectangles
// inside their images.
#pragma once

#include <cstdint>

namespace cvl {

struct CompositeArgs {
  const uint16_t* src = nullptr;
  int32_t x = 0, y = 0;  // first source pixel of the rectangle
  int32_t width = 0, height = 0;
  int32_t src_stride = 0;  // words
  // Optional layer-mask image, addressed exactly like the source.
  const uint16_t* layer_mask = nullptr;
  uint16_t* dst = nullptr;
  int32_t dst_x = 0, dst_y = 0;
  int32_t dst_stride = 0;  // words
  int32_t mode = 0;
  int32_t layer_mask_mode = 0;  // 38 to apply the layer-mask image
  int32_t opacity = 256;        // 0..256
  bool keep_dst_alpha = false;  // the destination's alpha word is never written
  bool same_alpha = false;      // source and destination share one mode above 20
};

void composite(const CompositeArgs& args);

// Test seam: keeps the blend on its four-lane form even where the processor
// offers wider lanes, so that both forms can be held to the same results.
void composite_use_portable_lanes(bool on);

// Whether the blends run eight lanes wide (AVX2 present and not held to four by
// the seam above); the view follows the compositor's choice.
bool wide_lanes();

}  // namespace cvl
