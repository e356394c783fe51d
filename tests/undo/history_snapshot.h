// Whole-canvas snapshots and random edits for the undo history tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/engine.h"
#include "support/canvas_fixture.h"
#include "core/rand.h"
#include "undo/stroke_rect.h"

namespace cvl::test {

// Every layer slot and the mask, word for word.
struct CanvasState {
  std::vector<std::vector<uint16_t>> layers;
  std::vector<uint16_t> mask;

  static CanvasState take() {
    Engine& e = engine();
    CanvasState s;
    for (const Layer& layer : e.layer_slots)
      s.layers.emplace_back(layer.data(), layer.data() + layer.pixels.size());
    s.mask.assign(e.mask.get(), e.mask.get() + e.mask.size());
    return s;
  }
  bool operator==(const CanvasState&) const = default;
};

struct EditRect {
  int32_t left, top, right, bottom;
};

inline int32_t rand_below(int32_t n) { return crt_rand() % n; }

// A rectangle inside the canvas of at most max_w x max_h pixels; now and then a
// single column or row wide.
inline EditRect random_rect(int32_t max_w = 12, int32_t max_h = 9) {
  const Engine& e = engine();
  const int32_t l = rand_below(e.canvas_width), t = rand_below(e.canvas_height);
  const int32_t r = std::min(e.canvas_width - 1, l + rand_below(max_w));
  const int32_t b = std::min(e.canvas_height - 1, t + rand_below(max_h));
  return {l, t, r, b};
}

// Fills the rectangle of a plane with random words and widens the stroke rectangle.
inline void scribble(uint16_t* plane, int32_t words_per_pixel, const EditRect& r) {
  const int32_t stride = engine().canvas_width * words_per_pixel;
  for (int32_t y = r.top; y <= r.bottom; ++y)
    for (int32_t x = r.left * words_per_pixel; x < (r.right + 1) * words_per_pixel; ++x)
      plane[y * stride + x] = static_cast<uint16_t>(crt_rand() * 2 + 1);
  widen_stroke_rect(r.left, r.top, r.right, r.bottom);
}

// A canvas whose slot 2 is the current layer, with a given number of undo levels
// under the automatic memory limit.
class HistoryTest : public CanvasTest {
 protected:
  void start(int w, int h, int levels) {
    make_canvas(w, h, 8);
    CVL_SetUndoMB(0);
    CVL_SetUndoLevels(levels);
    CVL_CreateLayer(2, w, h);
    CVL_SetLayer(2);
  }
  void TearDown() override {
    CVL_SetUndoMB(0);
    CanvasTest::TearDown();
  }
};

}  // namespace cvl::test
