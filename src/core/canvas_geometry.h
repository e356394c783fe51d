#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/engine.h"

namespace cvl {

// The part of a layer that a canvas-wide loop covers: the canvas size, clipped
// to the layer's own size.
struct LayerSpan {
  int32_t cols = 0;
  int32_t rows = 0;
};

inline LayerSpan canvas_span(const Engine& e, const Layer& layer) {
  return {std::max(0, std::min(e.canvas_width, layer.width)), std::max(0, std::min(e.canvas_height, layer.height))};
}

inline uint16_t* layer_row(const Layer& layer, int32_t y) {
  return layer.data() + static_cast<size_t>(y) * static_cast<size_t>(layer.row_stride);
}

// A layer as the pixel exports address it: a canvas-sized image, pixel (x, y) at word
// (y x canvas width + x) x 4, whatever size the layer was made at, so that a layer
// written by one export reads back the same through every other. Where the layer holds
// fewer pixels than the canvas, the pixels past its own end do not exist: rows run short
// and then stop.
struct CanvasPlane {
  uint16_t* base = nullptr;
  int32_t width = 0;   // canvas width
  int32_t height = 0;  // canvas rows holding at least one of the layer's pixels
  size_t pixels = 0;   // pixels the layer holds

  // Pixels of row y (0 <= y < height) that lie inside the layer.
  int32_t cols(int32_t y) const {
    const size_t first = static_cast<size_t>(y) * static_cast<size_t>(width);
    return first >= pixels ? 0 : static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(width), pixels - first));
  }
  uint16_t* row(int32_t y) const { return base + static_cast<size_t>(y) * static_cast<size_t>(width) * 4; }
  bool holds(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height && x < cols(y); }
  uint16_t* at(int32_t x, int32_t y) const { return row(y) + static_cast<size_t>(x) * 4; }
};

inline CanvasPlane canvas_plane(const Engine& e, const Layer& layer) {
  CanvasPlane p;
  p.base = layer.data();
  p.pixels = layer.pixels.size() / 4;
  p.width = std::max(0, e.canvas_width);
  if (p.width > 0) {
    const size_t rows = (p.pixels + static_cast<size_t>(p.width) - 1) / static_cast<size_t>(p.width);
    p.height = static_cast<int32_t>(std::min<size_t>(rows, static_cast<size_t>(std::max(0, e.canvas_height))));
  }
  return p;
}

template <class T>
inline T* byte_row(T* base, int32_t stride, int32_t y) {
  using Byte = std::conditional_t<std::is_const_v<T>, const uint8_t, uint8_t>;
  return reinterpret_cast<T*>(reinterpret_cast<Byte*>(base) + static_cast<ptrdiff_t>(y) * stride);
}

}  // namespace cvl
