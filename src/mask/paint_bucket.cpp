#include "mask/paint_bucket.h"

#include <cstring>
#include <vector>

#include "core/engine.h"
#include "draw/region_fill.h"
#include "imaging/tone/colour_replace.h"
#include "layers/ipl_images.h"
#include "layers/pixel_access.h"
#include "mask/mask_alpha.h"
#include "mask/region_colour.h"
#include "mask/tool_source.h"
#include "mask/tool_units.h"

namespace cvl {
namespace {

struct Click {
  int32_t x, y, tolerance;
  const ToolSource& source;
  imaging::Colour seed;
  imaging::Colour paint;  // alpha 255
};

int32_t distance_of(const Click& c) { return squared_distance_tolerance(c.tolerance); }

// Each mode reports whether the source changed as it should and is to be loaded.
bool paint_non_connected(const Click& c) {
  // Recolouring keeps each pixel's own alpha.
  return imaging::replace_colour(c.source.view(), c.seed, c.paint, distance_of(c), true) >= 0;
}

bool paint_connected(const Click& c) {
  const imaging::Colour marker = c.source.marker();
  if (imaging::flood_fill(c.source.view(), {c.x, c.y}, marker, distance_of(c)) < 0) return false;
  // Exactly the tagged pixels take the paint, opaque.
  return imaging::replace_colour(c.source.view(), marker, c.paint, 0, false) >= 0;
}

// Tags the region with a colour the picture lacks, then makes the tag transparent.
template <class Tag>
bool erase_tagged(const Click& c, Tag tag) {
  const imaging::Colour marker = c.source.marker();
  if (tag(marker) < 0) return false;
  clear_alpha_of_colour(c.source.canvas(), c.source.data(), marker[0], marker[1], marker[2]);
  return true;
}

bool erase_non_connected(const Click& c) {
  if (current_is_background(c.source.canvas())) return paint_non_connected(c);
  return erase_tagged(c, [&](const imaging::Colour& marker) {
    return imaging::replace_colour(c.source.view(), c.seed, marker, distance_of(c), true);
  });
}

bool erase_connected(const Click& c) {
  if (current_is_background(c.source.canvas())) return paint_connected(c);
  return erase_tagged(c, [&](const imaging::Colour& marker) {
    return imaging::flood_fill(c.source.view(), {c.x, c.y}, marker, distance_of(c));
  });
}

bool paint_alpha_connected(const Click& c) {
  const Engine& e = c.source.canvas();
  if (!current_is_painting_layer(e)) return false;
  std::vector<uint8_t> map;
  if (!alpha_region(e, c.x, c.y, distance_of(c), map)) return false;
  colour_rgba32_from_flood_map(e, c.source.data(), map.data(), c.paint[0], c.paint[1], c.paint[2], 255);
  return true;
}

bool paint_alpha_non_connected(const Click& c) {
  const Engine& e = c.source.canvas();
  replace_from_rgba_alpha_range(e, c.source.data(), get_channel64(e, c.x, c.y, 3) >> 8, percent_tolerance(c.tolerance),
                                c.paint[0], c.paint[1], c.paint[2], 255);
  return true;
}


struct Mode {
  const char* name;
  bool (*run)(const Click&);
};

constexpr Mode kModes[] = {
    {"Paint Connected", paint_connected},
    {"Paint Non-connected", paint_non_connected},
    {"Erase Connected", erase_connected},
    {"Erase Non-connected", erase_non_connected},
    {"Paint Alpha Connected", paint_alpha_connected},
    {"Paint Alpha Non-Connected", paint_alpha_non_connected},
};

}  // namespace

void paint_bucket(Engine& e, int32_t r, int32_t g, int32_t b, int32_t x, int32_t y, int32_t tolerance,
                  const char* mode) {
  if (!seed_on_canvas(e, x, y)) return;
  const bool has_layer = current_layer_with_pixels(e) != nullptr;
  // The IPL source lives for one click, whichever way the click ends.
  const IplFreeOnExit free_source(e, IplBuffer::Src32);
  const ToolSource source(e, ipl_alloc(e, IplBuffer::Src32), has_layer);
  if (!source.ready() || !mode) return;
  const imaging::Colour paint{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b), 255};
  const Click click{x, y, tolerance, source, source.colour_at(x, y), paint};
  for (const Mode& m : kModes) {
    if (std::strcmp(mode, m.name) != 0) continue;
    if (m.run(click)) source.load_into_layer();
    return;
  }
}

}  // namespace cvl
