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

inline LayerSpan canvas_span(const Layer& layer) {
  const Engine& e = engine();
  return {std::max(0, std::min(e.canvas_width, layer.width)), std::max(0, std::min(e.canvas_height, layer.height))};
}

inline uint16_t* layer_row(const Layer& layer, int32_t y) {
  return layer.data() + static_cast<size_t>(y) * static_cast<size_t>(layer.rowStride);
}

template <class T>
inline T* byte_row(T* base, int32_t stride, int32_t y) {
  using Byte = std::conditional_t<std::is_const_v<T>, const uint8_t, uint8_t>;
  return reinterpret_cast<T*>(reinterpret_cast<Byte*>(base) + static_cast<ptrdiff_t>(y) * stride);
}

}  // namespace cvl
