// One varied picture and the arguments that make every effect act on it, shared by
// the sweeps that run every effect through the host's call.
#pragma once

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "effects/effect_table.h"
#include "support/canvas_fixture.h"

namespace cvl::test {

constexpr int kSweepW = 64, kSweepH = 48;

// Arguments beyond the mid-range defaults for rows that need them to act at all.
struct Arguments {
  int32_t option = 0, i1 = 1, i2 = 1;
  int32_t flags[6] = {};
  std::string text;
};

// Rows whose channel or area flags all start cleared, which leaves the picture
// alone by design.
constexpr const char* kNeedFlags[] = {"Levels", "Channel", "Fader", "Clamp", "Reflection"};

// Rows whose sizes are pixels taken straight from the sliders: "Circles" a radius of
// trunc(s2 x 10) with an outline of trunc(s4 / 4), "Rectangles" sides of trunc(s2 x 10)
// by trunc(s3 x 10), "Carpet" fold strips of trunc(s1 x 5) by trunc(s2 x 5). At the
// middle that is 250 to 500 pixels: every outline lies outside the small picture and
// the strips are wider than it, so it is rightly left alone. The sweep runs them at
// 5 instead; PixelSizedRowsDrawOnAPictureOfUsualSize shows them at the middle.
constexpr const char* kSizedInPixels[] = {"Carpet", "Circles", "Rectangles"};

inline bool listed(const char* name, std::span<const char* const> names) {
  return std::any_of(names.begin(), names.end(), [&](const char* n) { return std::string(n) == name; });
}

inline Arguments arguments_for(const EffectRow& row) {
  Arguments a;
  if (std::string(row.reads).find("text") != std::string::npos)
    a.text = std::string(CORVEL_EXAMPLES_DIR) + "/scripts/bricks.isc";
  if (row.frame == Frame::Lua) a.text = std::string(CORVEL_EXAMPLES_DIR) + "/lua/invert.lua";
  for (const char* name : kNeedFlags)
    if (std::string(row.name) == name) std::fill(a.flags, a.flags + 6, 1);
  // With f1 the horizon is the picture's opaque bottom row: nothing to reflect.
  if (std::string(row.name) == "Reflection") a.flags[0] = 0;
  return a;
}

// Diagonal colour ramps over 8-pixel checks, with an alpha ramp in the right
// quarter so alpha rules are visible.
inline void paint_varied(Layer& layer) {
  for (int y = 0; y < layer.height; ++y)
    for (int x = 0; x < layer.width; ++x) {
      uint16_t* p = pixel_at(layer, x, y);
      const bool check = ((x >> 3) + (y >> 3)) & 1;
      p[0] = static_cast<uint16_t>((x * 255 / (layer.width - 1)) << 8);
      p[1] = static_cast<uint16_t>((y * 255 / (layer.height - 1)) << 8);
      p[2] = check ? 0xE000 : 0x2000;
      const int fade = 0x40 + (layer.height - 1 - y) * 188 / (layer.height - 1);
      p[3] = x < layer.width * 3 / 4 ? 0xFF00 : static_cast<uint16_t>(fade << 8);
      if (x % 11 == 5 && y % 9 == 4) p[0] = p[1] = p[2] = 0xFF00;  // lone dots for the dot removers
    }
}

class EffectSweep : public CanvasTest {
 protected:
  // Runs `row` on a fresh w x h canvas holding the varied picture; the layer after it.
  std::vector<uint16_t> run(const EffectRow& row, int32_t slider, std::vector<uint16_t>* before = nullptr, int w = kSweepW,
                            int h = kSweepH, int32_t seed = 1) {
    make_canvas(w, h, 32);
    give_slot_pixels(1, 0xFF00, 0xFF00, 0xFF00, 0xFF00);
    give_slot_pixels(2, 0, 0, 0, 0);
    paint_varied(e().slot(2));
    CVL_SetLayer(2);
    if (before) *before = layer_words(e().slot(2));
    EXPECT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
    EXPECT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
    Arguments a = arguments_for(row);
    a.i1 = seed;
    CVL_IPLImageProcess(0, row.name, a.i1, slider, slider, slider, slider, slider, slider, a.option, a.i2, a.flags[0], a.flags[1], a.flags[2], a.flags[3],
                        a.flags[4], a.flags[5], 128, 64,
                        200, a.text.c_str());
    std::vector<uint16_t> out = layer_words(e().slot(2));
    if (row.frame == Frame::Mask) out.assign(e().mask.get(), e().mask.get() + size_t(w) * h);
    return out;
  }
};

}  // namespace cvl::test
