// Pictures for the selection and fill tool tests, drawn as text: one letter a
// pixel, each letter an 8-bit RGBA colour; the mask and the layer are read
// back as text the same way.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/canvas_fixture.h"

namespace cvl::test {

using Rows = std::vector<std::string>;

class ToolPicture : public CanvasTest {
 protected:
  struct Rgba {
    uint8_t r, g, b, a;
  };
  std::map<char, Rgba> palette = {
      {'A', {10, 20, 30, 255}}, {'B', {200, 0, 0, 255}}, {'W', {255, 255, 255, 255}},
      {'t', {0, 0, 0, 0}},      {'h', {10, 20, 30, 128}}, {'P', {1, 2, 3, 255}},  // P: the usual paint
  };

  // A canvas the size of the picture with it in `slot`, made current.
  void draw(const Rows& rows, int slot = 2) {
    make_canvas(int(rows[0].size()), int(rows.size()), 16);
    give_slot_pixels(slot, 0, 0, 0, 0);
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x) {
        const Rgba c = palette.at(rows[size_t(y)][size_t(x)]);
        uint16_t* p = pixel_at(e().slot(slot), x, y);
        p[0] = uint16_t(c.r << 8), p[1] = uint16_t(c.g << 8), p[2] = uint16_t(c.b << 8), p[3] = uint16_t(c.a << 8);
      }
    CVL_SetLayer(slot);
  }
  int width() { return e().canvas_width; }
  int height() { return e().canvas_height; }

  // '#' fully protected, '.' open, 's' any other word.
  Rows mask_rows() {
    Rows rows(size_t(height()), std::string(size_t(width()), '.'));
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x) {
        const uint16_t m = e().mask[size_t(y) * width() + x];
        rows[size_t(y)][size_t(x)] = m == 0 ? '#' : m == 65535 ? '.' : 's';
      }
    return rows;
  }

  // The current layer as palette letters, 't' for any transparent pixel and
  // '?' for a colour not in the palette.
  Rows layer_rows() {
    Rows rows(size_t(height()), std::string(size_t(width()), '?'));
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x) {
        const Pixel p = read_pixel(*e().current_layer, x, y);
        if (p[3] == 0) {
          rows[size_t(y)][size_t(x)] = 't';
          continue;
        }
        for (const auto& [letter, c] : palette)
          if (p == Pixel{uint16_t(c.r << 8), uint16_t(c.g << 8), uint16_t(c.b << 8), uint16_t(c.a << 8)})
            rows[size_t(y)][size_t(x)] = letter;
      }
    return rows;
  }
};

}  // namespace cvl::test
