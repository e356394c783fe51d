// Cutting every layer down to a rectangle of the canvas.
#include "core/engine.h"
#include "imaging/overlay.h"
#include "ipl/geometry.h"
#include "ipl/layer_frame.h"

namespace cvl {

FailureCause ipl_crop(Engine& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  // The host keeps the rectangle on the canvas; one that is not would read
  // outside the layers, so it changes nothing.
  const Engine& e = canvas;
  if (left < 0 || top < 0 || right > e.canvas_width || bottom > e.canvas_height || right <= left || bottom <= top)
    return "the rectangle [" + std::to_string(left) + ", " + std::to_string(right) + ") x [" + std::to_string(top) +
           ", " + std::to_string(bottom) + ") is empty or leaves the " + std::to_string(e.canvas_width) + " x " +
           std::to_string(e.canvas_height) + " canvas";
  for_each_layer_resized(canvas, right - left, bottom - top,
                         [=](const imaging::ImageView& work, const imaging::ImageView& out, int32_t) {
                           return imaging::crop_image(work, left, top, right, bottom, out);
                         });
  return {};
}

}  // namespace cvl
