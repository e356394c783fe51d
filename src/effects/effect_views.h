// The IPL buffers seen as imaging-library views of the canvas.
#pragma once

#include "imaging/image_view.h"
#include "effects/effect_frames.h"

namespace cvl {

// A canvas-sized RGBA32 buffer (the 32-bit source or destination).
inline imaging::ImageView canvas_view(const EffectCall& call, uint8_t* image) {
  return {image, call.width, call.height, 4, call.stride()};
}
// A canvas-sized RGB24 buffer (the 24-bit source or destination).
inline imaging::ImageView canvas_view24(const EffectCall& call, uint8_t* image) {
  return {image, call.width, call.height, 3, call.width * 3};
}

}  // namespace cvl
