// Layout effects of the in-house library: concentric border rings, a vignette
// and a reflection below the picture's horizon.
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/tool_settings.h"
#include "core/colour_models.h"
#include "imaging/filters/blur.h"
#include "draw/shapes.h"
#include "effects/inhouse_library.h"

namespace cvl {
namespace {

// Paints the rectangle `k` pixels inside the canvas edge.
void paint_ring(const PixelWriter& out, int32_t width, int32_t height, int32_t k, const Rgba& c) {
  const int32_t left = k, top = k, right = width - 1 - k, bottom = height - 1 - k;
  if (left > right || top > bottom) return;
  for (int32_t x = left; x <= right; ++x) {
    out.write(x, top, c);
    out.write(x, bottom, c);
  }
  for (int32_t y = top + 1; y < bottom; ++y) {
    out.write(left, y, c);
    out.write(right, y, c);
  }
}

// Where around ring k its colour is taken, from 0 (the top-left corner, going
// clockwise) to 1.
void ring_sample_point(double at, int32_t width, int32_t height, int32_t k, int32_t& x, int32_t& y) {
  if (at < 0.25) {
    x = trunc_to_int(at * 4 * width);
    y = k;
  } else if (at < 0.5) {
    x = width - 1 - k;
    y = trunc_to_int((at - 0.25) * 4 * height);
  } else if (at < 0.75) {
    x = trunc_to_int(width - width * (at - 0.5) * 4);
    y = height - 1 - k;
  } else {
    x = k;
    y = trunc_to_int(height - height * (at - 0.75) * 4);
  }
  // The bottom and left edges start one pixel past the canvas (at exactly 0.5 and
  // 0.75); reading there would paint the rings transparent black.
  x = std::clamp(x, 0, width - 1);
  y = std::clamp(y, 0, height - 1);
}

// Margin left on each side by a shape of `share` of the side `side`.
int32_t vignette_margin(int32_t side, double share) { return (side - 2 * trunc_to_int(side * share)) / 2; }

// The vignette's shape plane, blurred: how much of each pixel keeps its own colour.
std::vector<uint8_t> vignette_plane(const InhouseParams& p, int32_t width, int32_t height) {
  const uint8_t background = static_cast<uint8_t>(p.f[2] == 0 ? trunc_to_byte(255 - p.p[5] * 255) : 0);
  const uint8_t shape = static_cast<uint8_t>(p.f[2] == 1 ? trunc_to_byte(p.p[5] * 255) : 255);
  const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint8_t> plane(n, background), blurred(n);
  int32_t mx = vignette_margin(width, p.p[4]), my = vignette_margin(height, p.p[4]);
  if (p.f[4] != 0) mx = my = vignette_margin(std::max(width, height), p.p[4]);
  const imaging::ImageView view{plane.data(), width, height, 1, width};
  const imaging::Colour colour{shape, shape, shape, shape};
  if (p.f[3] != 0) {
    imaging::fill_rect(view, {mx, my, width - mx - 1, height - my}, colour);
  } else {
    const int32_t rx = std::max((width - 2 * mx) / 2, 2), ry = std::max((height - 2 * my) / 2, 2);
    imaging::fill_ellipse(view, width / 2, height / 2, rx, ry, colour);
  }
  double sigma = std::max(width, height) * 0.1 * p.p[3];
  if (sigma == 0.0) sigma = 0.1;
  imaging::gaussian_blur_plane8(plane.data(), width, blurred.data(), width, width, height, sigma);
  return blurred;
}

}  // namespace

void inhouse_borderize(InhouseParams& p, const InhouseImages& im) {
  const int32_t most = (std::min(im.width, im.height) + 1) / 2;  // rings past the centre are empty
  const int32_t rings = std::clamp(trunc_to_int(std::min(im.width, im.height) / 2 * p.p[1]), 0, most);
  const PixelReader in(p, im);
  const PixelWriter out(im);
  for (int32_t k = 0; k < rings; ++k) {
    int32_t x, y;
    ring_sample_point(p.p[0], im.width, im.height, k, x, y);
    paint_ring(out, im.width, im.height, k, in.read(x, y));
  }
}

void inhouse_vignette(InhouseParams& p, const InhouseImages& im) {
  if (p.p[0] == 0) p.p[0] = 0.001;
  const std::vector<uint8_t> plane = vignette_plane(p, im.width, im.height);
  double k[3] = {p.p[0], p.p[1], p.p[2]};
  if (p.f[5] != 0) {
    for (int i = 0; i < 3; ++i) k[i] = (im.tool->paint_color[static_cast<size_t>(i)] >> 8) / 255.0;
  }
  const bool tint = p.f[0] == 1;
  const double outer_alpha = p.f[1] == 1 ? 0.0 : 1.0;
  const PixelReader in(p, im);
  const PixelWriter out(im);
  for (int32_t y = 0; y < im.height; ++y) {
    const uint8_t* shade = plane.data() + static_cast<size_t>(y) * static_cast<size_t>(im.width);
    for (int32_t x = 0; x < im.width; ++x) {
      const uint8_t* c = in.at(x, y);
      double d = shade[x] / 255.0;
      if (p.f[2] == 1) d = 1.0 - d;
      const double f = 1.0 - d;
      const double a = c[3] / 255.0;
      double rgb[3];
      for (int i = 0; i < 3; ++i) {
        const double own = c[i] / 255.0;
        // Tinting leaves fully transparent pixels' colour as it was.
        rgb[i] = !tint ? k[i] : (a != 0.0 ? f * k[i] + d * own : own);
      }
      out.write(x, y, unit_to_byte(rgb[0]), unit_to_byte(rgb[1]), unit_to_byte(rgb[2]),
                unit_to_byte(f * outer_alpha + d * a));
    }
  }
}

void inhouse_reflection(InhouseParams& p, const InhouseImages& im) {
  const int32_t width = im.width, height = im.height;
  const PixelReader in(p, im);
  const PixelWriter out(im);
  const auto alpha = [&](int32_t x, int32_t y) { return in.at(x, y)[3]; };
  // The whole-image horizon: the lowest row holding a nearly opaque pixel. A
  // picture without one has nothing to reflect.
  int32_t shared = height - 1;
  if (p.f[0] == 1) {
    int32_t lowest = -1;
    for (int32_t x = 0; x < width; ++x) {
      for (int32_t y = height - 1; y > lowest; --y) {
        if (alpha(x, y) > 253) {
          lowest = y;
          break;
        }
      }
    }
    if (lowest >= 0) shared = lowest;
  }
  const int32_t f = trunc_to_int((1.0 - p.p[0]) * (height - 1));
  // Sixteenths of the height over which the alpha fades; held to 1 so that a
  // canvas under 16 rows fades at once instead of dividing by zero.
  const int32_t sixteenth = std::max(height / 16, 1);
  const double fade = p.p[1] * p.p[2] / sixteenth;
  for (int32_t x = 0; x < width; ++x) {
    int32_t h = shared;
    if (p.f[0] != 1) {
      h = f - 1;
      if (p.f[1] == 0) {
        for (int32_t y = height - 1; y > f; --y) {
          if (alpha(x, y) != 0) {
            h = y;
            break;
          }
        }
      }
    }
    if (h >= height - 1) continue;
    // Sliders far past their range put the horizon far above the canvas; rows
    // up there are never written, so start no higher than the canvas is tall.
    h = std::max(h, -height);
    double from = h - 1;
    double factor = p.p[1];
    for (int32_t y = h; y < height; ++y, from -= 4 * p.p[3], factor -= fade) {
      const Rgba c = in.read(x, trunc_to_int(from));
      out.write(x, y, c[0], c[1], c[2], trunc_to_int(factor * c[3]));
    }
  }
}

}  // namespace cvl
