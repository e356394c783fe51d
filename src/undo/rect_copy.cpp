#include "undo/rect_copy.h"

#include "imaging/overlay.h"

namespace cvl {

WordPlane layer_plane(const Layer& layer) { return {layer.data(), layer.row_stride, 4}; }

WordPlane mask_plane(const Engine& e) { return {e.mask.get(), e.canvas_width, 1}; }

WordPlane under_pixels_plane(const Engine& e) { return {e.under_layer.pixels.get(), e.canvas_width * 4, 4}; }

WordPlane under_mask_plane(const Engine& e) { return {e.under_layer.mask.get(), e.canvas_width, 1}; }

WordPlane packed_plane(uint16_t* data, int32_t width, int32_t words_per_pixel) {
  return {data, width * words_per_pixel, words_per_pixel};
}

void copy_plane_rect(const WordPlane& dst, int32_t dx, int32_t dy, const WordPlane& src, int32_t sx, int32_t sy,
                     int32_t width, int32_t height) {
  if (!dst || !src) return;
  imaging::copy_rect(reinterpret_cast<uint8_t*>(dst.at(dx, dy)), dst.stride_words * 2,
                     reinterpret_cast<const uint8_t*>(src.at(sx, sy)), src.stride_words * 2, width, height,
                     dst.words_per_pixel * 2);
}

void copy_same_rect(const WordPlane& dst, const WordPlane& src, const PlaneRect& r) {
  copy_plane_rect(dst, r.left, r.top, src, r.left, r.top, r.width, r.height);
}

}  // namespace cvl
