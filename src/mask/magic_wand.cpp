#include "mask/magic_wand.h"

#include <cstring>
#include <vector>

#include "core/engine.h"
#include "draw/region_fill.h"
#include "imaging/tone/colour_replace.h"
#include "layers/ipl_images.h"
#include "layers/pixel_access.h"
#include "mask/mask_builders.h"
#include "mask/tool_source.h"
#include "mask/tool_units.h"

namespace cvl {
namespace {

struct Click {
  int32_t x, y, tolerance, strength;
  const ToolSource& source;
  imaging::Colour seed;
};

// Tags the chosen pixels with a colour the picture lacks, then selects that colour.
template <class Tag>
void select_tagged(const Click& c, Tag tag) {
  const imaging::Colour marker = c.source.marker();
  if (tag(marker) < 0) return;
  mask_from_rgba_colour(c.source.canvas(), c.source.data(), marker[0], marker[1], marker[2], c.strength);
}

void non_connected(const Click& c) {
  select_tagged(c, [&](const imaging::Colour& marker) {
    return imaging::replace_colour(c.source.view(), c.seed, marker, squared_distance_tolerance(c.tolerance), true);
  });
}

void connected(const Click& c) {
  select_tagged(c, [&](const imaging::Colour& marker) {
    return imaging::flood_fill(c.source.view(), {c.x, c.y}, marker, squared_distance_tolerance(c.tolerance));
  });
}

void colour_range(const Click& c) {
  mask_from_rgba_colour_range(c.source.canvas(), c.source.data(), c.seed[0], c.seed[1], c.seed[2],
                              percent_tolerance(c.tolerance), c.strength);
}

void luminance_range(const Click& c) {
  mask_from_rgba_luminance_range(c.source.canvas(), c.source.data(), c.seed[0], c.seed[1], c.seed[2],
                                 percent_tolerance(c.tolerance), c.strength);
}

void hue_range(const Click& c) {
  mask_from_rgba_hue_range(c.source.canvas(), c.source.data(), c.seed[0], c.seed[1], c.seed[2],
                           percent_tolerance(c.tolerance), c.strength);
}

void hsl_range(const Click& c) {
  const double q = fraction_tolerance(c.tolerance);
  mask_from_rgba_hsl_range(c.source.canvas(), c.source.data(), c.seed[0], c.seed[1], c.seed[2], q, q, q, c.strength);
}

void alpha_connected(const Click& c) {
  Engine& e = c.source.canvas();
  if (!current_is_painting_layer(e)) return;
  std::vector<uint8_t> map;
  if (alpha_region(e, c.x, c.y, squared_distance_tolerance(c.tolerance), map))
    mask_from_flood_map(e, map.data(), c.strength);
}

void alpha_non_connected(const Click& c) {
  mask_from_rgba_alpha_range(c.source.canvas(), c.source.data(), get_channel64(c.source.canvas(), c.x, c.y, 3) >> 8,
                             percent_tolerance(c.tolerance), c.strength);
}


struct Mode {
  const char* name;
  void (*run)(const Click&);
};

constexpr Mode kModes[] = {
    {"Connected", connected},         {"Non-connected", non_connected},
    {"Color Range", colour_range},    {"Luminance Range", luminance_range},
    {"Hue Range", hue_range},         {"HSL Range", hsl_range},
    {"Alpha Connected", alpha_connected}, {"Alpha Non-connected", alpha_non_connected},
};

}  // namespace

void mask_wand(Engine& e, int32_t x, int32_t y, int32_t tolerance, int32_t strength_percent, const char* mode) {
  if (!seed_on_canvas(e, x, y)) return;
  const bool has_layer = current_layer_with_pixels(e) != nullptr;
  // The IPL source lives for one click, whichever way the click ends.
  const IplFreeOnExit free_source(e, IplBuffer::Src32);
  const ToolSource source(e, ipl_alloc(e, IplBuffer::Src32), has_layer);
  if (!source.ready() || !mode) return;
  const Click click{x, y, tolerance, strength_level(strength_percent), source, source.colour_at(x, y)};
  for (const Mode& m : kModes)
    if (std::strcmp(mode, m.name) == 0) return m.run(click);
}

}  // namespace cvl
