// A small canvas with both 32-bit IPL buffers, for driving in-house effects
// through their entry and reading what they wrote.
#pragma once

#include <array>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "core/engine.h"
#include "core/tool_settings.h"
#include "effects/inhouse_effects.h"
#include "layers/ipl_images.h"
#include "support/canvas_fixture.h"

namespace cvl::test {

using Px = std::array<int, 4>;

class InhouseTest : public CanvasTest {
 protected:
  void SetUp() override { canvas(4, 4); }

  void canvas(int w, int h) {
    make_canvas_on_clear_layer(w, h);
    w_ = w;
    h_ = h;
    ipl_alloc(engine(), IplBuffer::Src32);
    ipl_alloc(engine(), IplBuffer::Dst32);
  }
  // Sets every source pixel, rows top to bottom.
  void source(const std::vector<Px>& pixels) {
    ASSERT_EQ(pixels.size(), size_t(w_ * h_));
    uint8_t* s = ipl_buffer(engine(), IplBuffer::Src32);
    for (size_t i = 0; i < pixels.size(); ++i)
      for (int c = 0; c < 4; ++c) s[i * 4 + c] = uint8_t(pixels[i][size_t(c)]);
  }
  void fill_source(Px p) { source(std::vector<Px>(size_t(w_ * h_), p)); }
  void set_source(int x, int y, Px p) {
    uint8_t* s = ipl_buffer(engine(), IplBuffer::Src32) + (y * w_ + x) * 4;
    for (int c = 0; c < 4; ++c) s[c] = uint8_t(p[size_t(c)]);
  }
  Px src(int x, int y) const { return read(IplBuffer::Src32, x, y); }
  Px dst(int x, int y) const { return read(IplBuffer::Dst32, x, y); }

  // Raw sliders (1000 = 1.0), flags f1.. and the option.
  int32_t run(const char* name, std::initializer_list<int> sliders, std::initializer_list<int> flags = {},
              int option = 0, uint8_t copy = 0) {
    InhouseArgs a;
    int i = 0;
    for (int s : sliders) a.s[i++] = s;
    i = 0;
    for (int f : flags) a.f[i++] = f;
    a.option = option;
    return inhouse_entry(engine(), tool(), name, copy, a);
  }

  int w_ = 0, h_ = 0;

 private:
  Px read(IplBuffer b, int x, int y) const {
    const uint8_t* p = ipl_buffer(engine(), b) + (y * w_ + x) * 4;
    return {p[0], p[1], p[2], p[3]};
  }
};

}  // namespace cvl::test
