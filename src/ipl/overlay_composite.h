// Putting a drawn overlay onto the current layer: the overlay's alpha is
// weighted by the selection (mask and texture), then the overlay is mixed in
// with the compositor.
#pragma once

#include <cstdint>

#include "layers/ipl_images.h"

namespace cvl {

// The IPL destination (32-bit) of `canvas` allocated anew as a canvas-sized overlay for one
// call, replacing any the host had, and freed when the scope ends (also after
// an exception). Null without a canvas.
class OverlayScope {
 public:
  explicit OverlayScope(Engine& canvas) : canvas_(canvas), data_(ipl_alloc(canvas, IplBuffer::Dst32)) {}
  ~OverlayScope() { ipl_free(canvas_, IplBuffer::Dst32); }
  OverlayScope(const OverlayScope&) = delete;
  OverlayScope& operator=(const OverlayScope&) = delete;
  uint8_t* get() const { return data_; }

 private:
  Engine& canvas_;
  uint8_t* data_;
};

// The canvas-sized RGBA32 overlay (modified: its alpha is weighted) mixed into
// the current layer of `canvas` with `mode` at `opacity` (0..255), keeping the layer's
// alpha while it is locked. Nothing without a current layer.
void composite_overlay(Engine& canvas, uint8_t* overlay, int32_t mode, int32_t opacity);

// An opacity percentage as the 0..255 level the compositor takes: trunc(p x 2.559).
int32_t opacity_level(int32_t percent);

}  // namespace cvl
