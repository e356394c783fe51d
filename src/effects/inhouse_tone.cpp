// Per-pixel tone and channel operations of the in-house library.
#include <algorithm>
#include <vector>

#include "core/colour_models.h"
#include "core/engine.h"
#include "effects/inhouse_hsl_lanes.h"
#include "effects/inhouse_library.h"
#include "effects/inhouse_row_lanes.h"
#include "imaging/colour_memo.h"
#include "imaging/parallel_bands.h"
#include "layers/pixel_access.h"

namespace cvl {
namespace {

// Runs `op(pixel)` on every pixel read and writes the result back at the same
// place. A pixel depends on itself alone, so bands of rows may run on several
// threads.
template <class Op>
void each_pixel(const InhouseParams& p, const InhouseImages& im, const Op& op) {
  const PixelReader in(p, im);
  const PixelWriter out(im);
  imaging::for_each_band(im.height, int64_t(im.width) * 4, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      for (int32_t x = 0; x < im.width; ++x) {
        const uint8_t* q = in.at(x, y);
        out.write(x, y, op(Rgba{q[0], q[1], q[2], q[3]}));
      }
    }
  });
}

// Runs `op(in, out, width)` on every row, `in` the row read (the source, or
// the destination itself with the copy flag) and `out` the destination's:
// for the one-pixel operations the recipes run most, which work a row at a
// time (inhouse_row_lanes.h).
template <class Op>
void each_row(const InhouseParams& p, const InhouseImages& im, const Op& op) {
  const PixelReader in(p, im);
  const PixelWriter out(im);
  imaging::for_each_band(im.height, int64_t(im.width) * 2, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) op(in.at(0, y), out.at(0, y), im.width);
  });
}

double clamp_unit(double v) { return std::clamp(v, 0.0, 1.0); }

}  // namespace

void inhouse_grayscale(InhouseParams& p, const InhouseImages& im) { each_row(p, im, inhouse_rows::grey_row); }

void inhouse_invert(InhouseParams& p, const InhouseImages& im) { each_row(p, im, inhouse_rows::invert_row); }

void inhouse_basic_threshold(InhouseParams& p, const InhouseImages& im) {
  const double level = p.p[0] * 255.0;
  each_pixel(p, im, [level](Rgba c) {
    const int32_t v = luminance(c) >= level ? 255 : 0;
    return Rgba{v, v, v, c[3]};
  });
}

void inhouse_clamp(InhouseParams& p, const InhouseImages& im) {
  const double low = p.p[0] * 255.0, high = p.p[2] * 255.0;
  const int32_t low_to = trunc_to_byte(p.p[1] * 255.0);
  const int32_t high_to = trunc_to_byte(p.p[3] * 255.0);
  const bool on[4] = {p.f[0] == 1, p.f[1] == 1, p.f[2] == 1, p.f[3] == 1};
  each_pixel(p, im, [&](Rgba c) {
    for (int i = 0; i < 4; ++i) {
      if (!on[i]) continue;
      if (c[i] < low) c[i] = low_to;
      if (c[i] > high) c[i] = high_to;
    }
    return c;
  });
}

void inhouse_channel(InhouseParams& p, const InhouseImages& im) {
  const bool on[3] = {p.f[0] == 1, p.f[1] == 1, p.f[2] == 1};
  each_pixel(p, im, [&](Rgba c) {
    // Each flag works on what the one before left: red then green then blue.
    for (int i = 0; i < 3; ++i) {
      if (!on[i]) continue;
      const int32_t v = c[i];
      c = {0, 0, 0, 0};
      if (v > 0) {
        c[i] = 255;
        c[3] = v;
      }
    }
    return c;
  });
}

void inhouse_adjust_lab(InhouseParams& p, const InhouseImages& im) {
  const double dl = (p.p[0] - 0.5) * 200.0, da = (p.p[1] - 0.5) * 200.0, db = (p.p[2] - 0.5) * 200.0;
  const auto shift = [&](uint8_t r, uint8_t g, uint8_t b) {
    double x, y, z, l, a, bb;
    RgbToXyz(r, g, b, x, y, z);
    XyzToLab(x, y, z, l, a, bb);
    uint8_t r8, g8, b8;
    LabToRgb(l + dl, a + da, bb + db, r8, g8, b8);
    return imaging::pack_rgb(r8, g8, b8);
  };
  const PixelReader in(p, im);
  const PixelWriter out(im);
  imaging::for_each_band(im.height, im.width * 16, [&](int32_t first, int32_t end) {
    imaging::ColourMemo memo;
    for (int32_t y = first; y < end; ++y) {
      for (int32_t x = 0; x < im.width; ++x) {
        const uint8_t* q = in.at(x, y);
        const uint32_t c = memo.get(q[0], q[1], q[2], shift);
        out.write(x, y, int32_t(c & 255), int32_t(c >> 8 & 255), int32_t(c >> 16), q[3]);
      }
    }
  });
}

// Each channel pulled toward its darkened or brightened self by the pixel's
// lightness. Both curves are whole-number tables of the channel, so a pixel
// costs its lightness and two products a channel; pixels stand alone, so rows
// run in bands.
void inhouse_hyper_contrast(InhouseParams& p, const InhouseImages& im) {
  int32_t k = trunc_to_int((1.0 - p.p[0]) * 255.0);
  if (k == 0) k = 1;
  double darkened[256], brightened[256];
  for (int32_t v = 0; v < 256; ++v) {
    darkened[v] = 255 - (255 - v) * (255 - v) / k;
    brightened[v] = v * v / k;
  }
  const PixelReader in(p, im);
  const PixelWriter out(im);
  imaging::for_each_band(im.height, int64_t(im.width) * 8, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y)
      inhouse_hsl::hyper_contrast_row(in.at(0, y), im.width, darkened, brightened, out.at(0, y));
  });
}

// As first written, the whole colour model a pixel: the reference the tabled
// version above is checked against.
void inhouse_hyper_contrast_reference(InhouseParams& p, const InhouseImages& im) {
  int32_t k = trunc_to_int((1.0 - p.p[0]) * 255.0);
  if (k == 0) k = 1;
  each_pixel(p, im, [k](Rgba c) {
    double h, s, l;
    RgbToHsl(c[0], c[1], c[2], h, s, l);
    for (int i = 0; i < 3; ++i) {
      const int32_t v = c[i];
      const double darkened = 255 - (255 - v) * (255 - v) / k;
      const double brightened = v * v / k;
      c[i] = trunc_to_int(darkened * (1.0 - l) + brightened * l);
    }
    return c;
  });
}

void inhouse_fader(InhouseParams& p, const InhouseImages& im) {
  int32_t left = 0, top = 0, right = im.width - 1, bottom = im.height - 1;
  if (p.f[0] != 0) find_data_extents(*im.canvas, im.canvas->current_layer_num, &left, &top, &right, &bottom);
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, im.width - 1);
  bottom = std::min(bottom, im.height - 1);
  if (left > right || top > bottom) return;  // an empty layer has no extents
  // A one-column or one-row area has no slope: its ramp stays at the start
  // value.
  const double h_step = right > left ? (2.0 * p.p[3] - 2.0 * p.p[2]) / (right - left) : 0.0;
  const double v_step = bottom > top ? (2.0 * p.p[1] - 2.0 * p.p[0]) / (bottom - top) : 0.0;
  const bool saturation = p.f[1] != 0, lightness = p.f[2] != 0, alpha = p.f[3] != 0;
  const PixelReader in(p, im);
  const PixelWriter out(im);
  double v = 2.0 * p.p[0];
  for (int32_t y = top; y <= bottom; ++y, v += v_step) {
    double h = 2.0 * p.p[2];
    for (int32_t x = left; x <= right; ++x, h += h_step) {
      Rgba c = in.read(x, y);
      const double factor = h * v;
      if (saturation || lightness) {
        double hue, s, l;
        RgbToHsl(c[0], c[1], c[2], hue, s, l);
        if (saturation) s = clamp_unit(s * factor);
        if (lightness) l = clamp_unit(l * factor);
        uint8_t r8, g8, b8;
        HslToRgb(hue, s, l, r8, g8, b8);
        c = {r8, g8, b8, c[3]};
      }
      if (alpha) c[3] = trunc_to_byte(factor * c[3]);
      out.write(x, y, c);
    }
  }
}

// Each pixel's saturation and lightness moved away from its neighbour's (left,
// above, or above-left by the option). Every pixel's HSL is the neighbour of
// another, so it is worked out once into a row of its own and the neighbour's
// is read back from this row or the one above; rows stand alone, so they run
// in bands.
void inhouse_bas_relief(InhouseParams& p, const InhouseImages& im) {
  const int32_t dx = p.option == 1 ? 0 : -1;
  const int32_t dy = p.option == 0 ? 0 : -1;
  const double amount = p.p[0];
  // Reading the destination, a pixel's neighbour is already relieved: only
  // the step-by-step order gives that.
  if (p.copy) return inhouse_bas_relief_reference(p, im);
  if (im.width < 3 || im.height < 3) return;
  const PixelReader in(p, im);
  const PixelWriter out(im);
  const int32_t w = im.width;
  // A row's hue, saturation and lightness side by side, so that whole rows
  // convert in lanes.
  struct HslRow {
    double *h, *s, *l;
  };
  const auto fill = [&](int32_t y, const HslRow& row) {
    inhouse_hsl::rgb_row_to_hsl(in.at(0, y), w, row.h, row.s, row.l);
  };
  imaging::for_each_band(im.height - 2, int64_t(w) * 24, [&](int32_t first, int32_t end) {
    std::vector<double> store(size_t(w) * 6);
    HslRow above{store.data(), store.data() + w, store.data() + 2 * w};
    HslRow here{store.data() + 3 * w, store.data() + 4 * w, store.data() + 5 * w};
    if (dy != 0) fill(first, above);  // the row over the band's first row
    for (int32_t y = first + 1; y < end + 1; ++y) {
      fill(y, here);
      const HslRow& nrow = dy != 0 ? above : here;
      // Pixels 1 .. w - 2 against their neighbours at x + dx.
      inhouse_hsl::relieve_row(here.h + 1, here.s + 1, here.l + 1, nrow.s + 1 + dx, nrow.l + 1 + dx, w - 2, amount,
                               in.at(1, y), out.at(1, y));
      std::swap(above, here);
    }
  });
}

// One pixel at a time, both HSLs worked out afresh: the reference the banded
// pass above is checked against.
void inhouse_bas_relief_reference(InhouseParams& p, const InhouseImages& im) {
  const int32_t dx = p.option == 1 ? 0 : -1;
  const int32_t dy = p.option == 0 ? 0 : -1;
  const double amount = p.p[0];
  // Moves v away from the neighbour's value by `amount` of the room left.
  const auto relieve = [amount](double v, double other) {
    if (v > other) v += (1.0 - v) * amount;
    else if (v < other) v -= amount * v;
    return clamp_unit(v);
  };
  const PixelReader in(p, im);
  const PixelWriter out(im);
  for (int32_t y = 1; y < im.height - 1; ++y) {
    for (int32_t x = 1; x < im.width - 1; ++x) {
      const uint8_t* c = in.at(x, y);
      const uint8_t* n = in.at(x + dx, y + dy);
      double h, s, l, nh, ns, nl;
      RgbToHsl(c[0], c[1], c[2], h, s, l);
      RgbToHsl(n[0], n[1], n[2], nh, ns, nl);
      uint8_t r8, g8, b8;
      HslToRgb(h, relieve(s, ns), relieve(l, nl), r8, g8, b8);
      out.write(x, y, r8, g8, b8, c[3]);
    }
  }
}

}  // namespace cvl
