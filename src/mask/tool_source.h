// The picture the magic wand and the paint bucket work on: the 32-bit IPL
// source, which the tool's entry refills from the current layer when the tool
// starts and frees when it ends, so whatever source image the host had placed
// there is gone afterwards.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image_view.h"
#include "imaging/pixel_span.h"

namespace cvl {

struct Engine;

class ToolSource {
 public:
  // `data` is the canvas-sized source the caller filled from the current layer
  // of `e` (null when it could not); `has_layer` whether that layer held pixels.
  // The caller keeps and frees the pixels.
  ToolSource(Engine& e, uint8_t* data, bool has_layer) : engine_(e), data_(data), has_layer_(has_layer) {}
  ToolSource(const ToolSource&) = delete;
  ToolSource& operator=(const ToolSource&) = delete;

  // False without a current layer to read, in which case a tool does nothing.
  bool ready() const { return data_ != nullptr && has_layer_; }
  uint8_t* data() const { return data_; }
  // The canvas the source belongs to.
  Engine& canvas() const { return engine_; }
  imaging::ImageView view() const;

  // The seed pixel's R, G, B as the source holds them (the layer's high
  // bytes), alpha 0.
  imaging::Colour colour_at(int32_t x, int32_t y) const;
  // A colour that does not occur in the source (see find_marker_colour).
  imaging::Colour marker() const;

  // Writes the source back into the current layer through the selection.
  void load_into_layer() const;

 private:
  Engine& engine_;
  uint8_t* data_ = nullptr;
  bool has_layer_ = false;
};

// The current layer's alpha as a grey picture, and in `map` (canvas-sized, one
// byte a pixel) the region around the seed whose alpha lies within the
// squared distance `tolerance` of the seed's. False when the region cannot be
// made.
bool alpha_region(const Engine& e, int32_t x, int32_t y, int32_t tolerance, std::vector<uint8_t>& map);

// Whether a click lies on the canvas.
bool seed_on_canvas(const Engine& e, int32_t x, int32_t y);

// Whether the current layer is a painting layer (above the background), the
// only layers whose alpha the alpha modes work on.
bool current_is_painting_layer(const Engine& e);
// Whether the current layer is the background, where erasing paints instead.
bool current_is_background(const Engine& e);

}  // namespace cvl
