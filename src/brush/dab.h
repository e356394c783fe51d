// The dab renderer: stamps the brush tip once, thinned by grit and weighted by
// opacity, texture and mask, into the paint layer (or the current layer, or the
// mask) through the brush mix. The host places the dabs; the engine sees only
// their centres and the tool settings. Nothing here allocates.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;
struct ToolSettings;

// Paints one dab centred at (x, y) in canvas pixels. Only the high byte of each
// 16-bit colour value counts. With the mask maker on, the dab goes into the mask.
void draw_dab_grit(Engine& e, ToolSettings& t, int32_t x, int32_t y, int32_t r, int32_t g, int32_t b);
// Paints one dab into the mask; the target value comes from the paint colour.
void draw_dab_grit_mask(Engine& e, ToolSettings& t, int32_t x, int32_t y);

// Which row code renders the pixels. The specialised loops are the engine's;
// the generic path runs every step per pixel and is the reference they are
// checked against. Tests only.
enum class DabPath { Specialised, Generic };
void set_dab_path(DabPath path);

}  // namespace cvl
