// A canvas with a known brush for dab tests: the tool record reset, a hard round
// tip of the given size, full opacity and density, and helpers to shape the tip
// and read pixels.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "brush/dab.h"
#include "core/tool_settings.h"
#include "support/canvas_fixture.h"

namespace cvl::test {

using Pixel = std::array<uint16_t, 4>;

class DabTest : public CanvasTest {
 protected:
  void SetUp() override {
    CanvasTest::SetUp();
    set_dab_path(DabPath::Specialised);
    use_brush(10);
  }
  void TearDown() override {
    set_dab_path(DabPath::Specialised);
    CanvasTest::TearDown();
  }

  // A fresh tool: every setting at rest, a hard round tip of edge `size`.
  static void use_brush(int32_t size, int32_t grit_dot_size = 0) {
    tool() = ToolSettings{};
    CVL_SetAlpha(100);
    CVL_SetDensity(256);
    CVL_SetMixMode(32, 256);
    CVL_SetSize(size);
    CVL_SetTool(1.0f, grit_dot_size, 128, 128, 0, 0, 1000, 0, 0, 0, 0, 0, 0, "", "", 0);
  }

  // Every tip value of the brush square set to v.
  void fill_tip(uint16_t v) {
    for (int32_t r = 0; r < tool().brush_size; ++r)
      for (int32_t c = 0; c < tool().brush_size; ++c) tip(r, c) = v;
  }
  uint16_t& tip(int32_t row, int32_t col) {
    return e().brush_alpha[static_cast<size_t>(row) * static_cast<size_t>(e().brush_capacity) + col];
  }

  static Pixel px(const Layer& l, int32_t x, int32_t y) {
    const uint16_t* p = l.data() + static_cast<size_t>(y) * l.row_stride + static_cast<size_t>(x) * 4;
    return {p[0], p[1], p[2], p[3]};
  }
  static void set_px(Layer& l, int32_t x, int32_t y, Pixel v) {
    uint16_t* p = l.data() + static_cast<size_t>(y) * l.row_stride + static_cast<size_t>(x) * 4;
    for (int ch = 0; ch < 4; ++ch) p[ch] = v[static_cast<size_t>(ch)];
  }
  uint16_t& mask_at(int32_t x, int32_t y) {
    return e().mask[static_cast<size_t>(y) * static_cast<size_t>(e().canvas_width) + x];
  }

  // Makes a slot with pixels of one colour the current layer.
  void paint_on_slot(int slot, Pixel fill) {
    give_slot_pixels(slot, fill[0], fill[1], fill[2], fill[3]);
    e().current_layer = &e().slot(slot);
    e().current_layer_num = slot;
  }
};

}  // namespace cvl::test
