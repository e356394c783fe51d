// The text tool: text drawn into the IPL source in the stored text font and
// written into the current layer through the selection.
#pragma once

#include <cstdint>

#include "core/engine.h"
#include "draw/shapes.h"

namespace cvl {

// Draws `text` with its first cell's top-left corner at (x, y): smooth
// (anti-aliased) when the low byte of `smooth` is set, else one-bit. Nothing
// without the IPL source (32-bit). Only the box the glyphs touched goes back
// into the layer, so the layer is unchanged word for word elsewhere. Returns
// that box (right < left when nothing was drawn).
imaging::Rect ipl_text(Engine& canvas, uint8_t r, uint8_t g, uint8_t b, int32_t x, int32_t y, const char* text, int32_t smooth);

}  // namespace cvl
