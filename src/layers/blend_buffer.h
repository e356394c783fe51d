// The blend buffer: the brush-sized patch that smudge and blend tools fill with
// colour picked up from the canvas around the brush centre before each dab.
// The top-left brush_size x brush_size pixels are used; as a 16-bit plane (mask
// painting) each row starts at a multiple of the same row stride.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;
struct ToolSettings;

// Picks up the canvas-sized RGBA64 source around (x, y), mixed with the paint
// colour by amount (0..256, the paint colour's share). Returns 0 while blending is off.
int32_t do_copy_blend_buffer(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, const uint16_t* source,
                             int32_t amount, bool pick_up);
int32_t copy_blend_buffer_surface(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, int32_t amount,
                                  bool pick_up);
int32_t copy_blend_buffer_layer(Engine& e, const ToolSettings& t, int32_t slot, int32_t x, int32_t y, int32_t amount);
int32_t copy_blend_buffer_under_layer(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, int32_t amount);
int32_t copy_blend_buffer_trace(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, int32_t amount);
// Picks up the canvas mask around (x, y) into the 16-bit plane.
int32_t do_copy_blend_buffer_mask(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, int32_t amount);
void clear_blend_buffer(const Engine& e);
// Recolours the patch: 289 grey, 290 invert, 291 zero below the level, 292 full above it.
void filter_blend_buffer(const Engine& e, const ToolSettings& tool, int32_t kind, int32_t level_percent);

}  // namespace cvl
