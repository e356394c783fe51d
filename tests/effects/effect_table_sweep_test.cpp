// Every built effect, run through the host's call on one varied picture with its
// sliders at mid-range: it must change the picture (a row that silently does
// nothing looks built but is not), give the same result again from the same seed,
// and keep alpha where its frame promises to.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "effects/effect_table.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

constexpr int kW = 64, kH = 48;

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

bool listed(const char* name, std::span<const char* const> names) {
  return std::any_of(names.begin(), names.end(), [&](const char* n) { return std::string(n) == name; });
}

Arguments arguments_for(const EffectRow& row) {
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
void paint_varied(Layer& layer) {
  for (int y = 0; y < layer.height; ++y)
    for (int x = 0; x < layer.width; ++x) {
      uint16_t* p = test::pixel_at(layer, x, y);
      const bool check = ((x >> 3) + (y >> 3)) & 1;
      p[0] = static_cast<uint16_t>((x * 255 / (layer.width - 1)) << 8);
      p[1] = static_cast<uint16_t>((y * 255 / (layer.height - 1)) << 8);
      p[2] = check ? 0xE000 : 0x2000;
      const int fade = 0x40 + (layer.height - 1 - y) * 188 / (layer.height - 1);
      p[3] = x < layer.width * 3 / 4 ? 0xFF00 : static_cast<uint16_t>(fade << 8);
      if (x % 11 == 5 && y % 9 == 4) p[0] = p[1] = p[2] = 0xFF00;  // lone dots for the dot removers
    }
}

class EffectSweep : public test::CanvasTest {
 protected:
  // Runs `row` on a fresh w x h canvas holding the varied picture; the layer after it.
  std::vector<uint16_t> run(const EffectRow& row, int32_t slider, std::vector<uint16_t>* before = nullptr, int w = kW,
                            int h = kH, int32_t seed = 1) {
    make_canvas(w, h, 32);
    test::give_slot_pixels(1, 0xFF00, 0xFF00, 0xFF00, 0xFF00);
    test::give_slot_pixels(2, 0, 0, 0, 0);
    paint_varied(e().slot(2));
    CVL_SetLayer(2);
    if (before) *before = test::layer_words(e().slot(2));
    EXPECT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
    EXPECT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
    Arguments a = arguments_for(row);
    a.i1 = seed;
    CVL_IPLImageProcess(0, row.name, a.i1, slider, slider, slider, slider, slider, slider, a.option, a.i2, a.flags[0], a.flags[1], a.flags[2], a.flags[3],
                        a.flags[4], a.flags[5], 128, 64,
                        200, a.text.c_str());
    std::vector<uint16_t> out = test::layer_words(e().slot(2));
    if (row.frame == Frame::Mask) out.assign(e().mask.get(), e().mask.get() + size_t(w) * h);
    return out;
  }
};

TEST_F(EffectSweep, EveryBuiltRowChangesTheImageAndRepeatsFromTheSameSeed) {
  std::vector<std::string> unchanged, unrepeatable, alpha_lost;
  for (const EffectRow& row : effect_rows()) {
    if (!row.run) continue;
    // Some tone rows are neutral exactly at 50; a row must act at 50 or at 70.
    std::vector<uint16_t> before, first;
    const bool sized_in_pixels = listed(row.name, kSizedInPixels);
    int32_t slider = 500;
    for (int32_t s : sized_in_pixels ? std::vector<int32_t>{50} : std::vector<int32_t>{500, 700}) {
      slider = s;
      first = run(row, s, &before);
      if (first != before) break;
    }
    const std::vector<uint16_t> second = run(row, slider);
    if (row.frame != Frame::Mask && first == before) unchanged.push_back(row.name);
    if (first != second) unrepeatable.push_back(row.name);
    if (row.frame == Frame::RGB24 || row.frame == Frame::G24)
      for (size_t i = 3; i < first.size(); i += 4)
        if (first[i] != before[i]) {
          alpha_lost.push_back(row.name);
          break;
        }
  }
  auto list = [](const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += "\n  " + n;
    return out;
  };
  EXPECT_TRUE(unchanged.empty()) << "left the picture as it was:" << list(unchanged);
  EXPECT_TRUE(unrepeatable.empty()) << "differ between two runs from one seed:" << list(unrepeatable);
  EXPECT_TRUE(alpha_lost.empty()) << "changed alpha in a frame that keeps it:" << list(alpha_lost);
}

TEST_F(EffectSweep, PixelSizedRowsDrawOnAPictureOfUsualSize) {
  constexpr int kUsualW = 320, kUsualH = 240;
  for (const char* name : kSizedInPixels) {
    const EffectRow* row = find_effect_row(name);
    ASSERT_NE(row, nullptr) << name;
    std::vector<uint16_t> before;
    const std::vector<uint16_t> first = run(*row, 500, &before, kUsualW, kUsualH, 7);
    EXPECT_NE(first, before) << name;
    EXPECT_EQ(run(*row, 500, nullptr, kUsualW, kUsualH, 7), first) << name;
    // Carpet folds by position alone; the two generators scatter from the seed.
    if (row->frame == Frame::I) {
      EXPECT_NE(run(*row, 500, nullptr, kUsualW, kUsualH, 8), first) << name;
    }
  }
}

}  // namespace
}  // namespace cvl
