// Effects that test each interior pixel against its neighbourhood: the adaptive
// and detail blurs, the line-art cleaner and the detail mask. The canvas's
// one-pixel border is never written, so it keeps the entry's copy.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/engine.h"
#include "layers/rgba32_loader.h"
#include "effects/inhouse_library.h"

namespace cvl {
namespace {

// Luminances of the image being read, with the 3 x 3 sums of one row at a time
// kept as column sums. When the effect reads the image it writes (copy flag
// set), `changed` keeps both in step with each write, so a later window sees
// the new pixel exactly as a fresh read would.
class LuminanceWindow {
 public:
  LuminanceWindow(const uint8_t* image, int32_t width, int32_t height)
      : width_(width), lum_(static_cast<size_t>(width) * static_cast<size_t>(height)), column_(width) {
    const size_t n = lum_.size();
    for (size_t i = 0; i < n; ++i) lum_[i] = static_cast<uint8_t>(luminance(image + i * 4));
  }
  // Prepares the sums for interior row y.
  void start_row(int32_t y) {
    const uint8_t* a = row(y - 1);
    const uint8_t* b = row(y);
    const uint8_t* c = row(y + 1);
    for (int32_t x = 0; x < width_; ++x) column_[x] = a[x] + b[x] + c[x];
  }
  int32_t lum(int32_t x, int32_t y) const { return row(y)[x]; }
  // Integer mean over the 3 x 3 block centred on (x, y) of the started row.
  int32_t mean(int32_t x) const { return (column_[x - 1] + column_[x] + column_[x + 1]) / 9; }
  void changed(int32_t x, int32_t y, int32_t new_lum) {
    uint8_t& l = row(y)[x];
    column_[x] += new_lum - l;
    l = static_cast<uint8_t>(new_lum);
  }

 private:
  uint8_t* row(int32_t y) { return lum_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_); }
  const uint8_t* row(int32_t y) const {
    return lum_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_);
  }

  int32_t width_;
  std::vector<uint8_t> lum_;
  std::vector<int32_t> column_;
};

// Runs `rule(x, y, window)` on every interior pixel with the window started for
// its row; the rule returns whether it rewrote the pixel, and a rewrite made in
// the image being read is fed back into the window.
template <class Rule>
void each_interior_pixel_with_window(const InhouseParams& p, const InhouseImages& im, Rule rule) {
  if (im.width < 3 || im.height < 3) return;
  const PixelReader in(p, im);
  const bool in_place = in.data() == im.dst;
  LuminanceWindow window(in.data(), im.width, im.height);
  const PixelWriter out(im);
  for (int32_t y = 1; y < im.height - 1; ++y) {
    window.start_row(y);
    for (int32_t x = 1; x < im.width - 1; ++x) {
      if (rule(x, y, window) && in_place) window.changed(x, y, luminance(out.at(x, y)));
    }
  }
}

}  // namespace

void inhouse_adaptive_blur(InhouseParams& p, const InhouseImages& im) {
  const double edge = (1.0 - p.p[0]) * 255.0;
  const double bright_weight = p.p[1], dark_weight = p.p[2];
  const PixelReader in(p, im);
  const PixelWriter out(im);
  constexpr int32_t kAround[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};  // left, right, above, below
  for (int32_t y = 1; y < im.height - 1; ++y) {
    for (int32_t x = 1; x < im.width - 1; ++x) {
      const uint8_t* c = in.at(x, y);
      const int32_t d = luminance(c);
      double weight = 0.0;
      bool classified = false;
      for (const auto& o : kAround) {
        const int32_t n = luminance(in.at(x + o[0], y + o[1]));
        if (d - n > edge) {
          weight = bright_weight;
          classified = true;
          break;
        }
        if (n - d > edge) {
          weight = dark_weight;
          classified = true;
          break;
        }
      }
      if (!classified) continue;
      Rgba result;
      for (int i = 0; i < 4; ++i) {
        int32_t sum = 0;
        for (const auto& o : kAround) sum += in.at(x + o[0], y + o[1])[i];
        result[i] = trunc_to_int((1.0 - weight) * c[i] + weight * (sum / 4));
      }
      out.write(x, y, result);
    }
  }
}

void inhouse_detail_blur(InhouseParams& p, const InhouseImages& im) {
  const double threshold = p.p[0] * 255.0;
  const PixelReader in(p, im);
  const PixelWriter out(im);
  each_interior_pixel_with_window(p, im, [&](int32_t x, int32_t y, const LuminanceWindow& w) {
    if (std::abs(w.lum(x, y) - w.mean(x)) <= threshold) return false;
    const uint8_t* above = in.at(x - 1, y - 1);
    const uint8_t* here = in.at(x - 1, y);
    const uint8_t* below = in.at(x - 1, y + 1);
    Rgba sum{};
    for (int32_t k = 0; k < 12; k += 4) {
      for (int i = 0; i < 4; ++i) sum[i] += above[k + i] + here[k + i] + below[k + i];
    }
    out.write(x, y, sum[0] / 9, sum[1] / 9, sum[2] / 9, sum[3] / 9);
    return true;
  });
}

void inhouse_line_art_cleaner(InhouseParams& p, const InhouseImages& im) {
  inhouse_basic_threshold(p, im);
  const size_t bytes = static_cast<size_t>(im.width) * static_cast<size_t>(im.height) * 4;
  load_rgba32(*im.canvas, im.dst, im.width * 4, true);
  std::memcpy(im.src, im.dst, bytes);
  const double dark = p.p[0] * 255.0, lift = p.p[1] * 255.0;
  const PixelReader in(p, im);
  const PixelWriter out(im);
  each_interior_pixel_with_window(p, im, [&](int32_t x, int32_t y, const LuminanceWindow& w) {
    const int32_t own = w.lum(x, y);
    if (!(own < dark && w.mean(x) - own > lift)) return false;
    out.write(x, y, 255, 255, 255, in.at(x, y)[3]);
    return true;
  });
}

void inhouse_mask_detail(InhouseParams& p, const InhouseImages& im) {
  Engine& e = *im.canvas;
  if (!e.mask || e.mask.size() < static_cast<size_t>(im.width) * static_cast<size_t>(im.height)) return;
  const int32_t d = trunc_to_int(p.p[0] * 255.0);
  const double open = (1.0 - p.p[1]) * 65535.0;
  const uint16_t value = static_cast<uint16_t>(open <= 0.0 ? 0 : (open >= 65535.0 ? 65535 : static_cast<int32_t>(open)));
  const PixelReader in(p, im);
  const ptrdiff_t row = static_cast<ptrdiff_t>(im.width) * 4;
  for (int32_t y = 1; y < im.height - 1; ++y) {
    uint16_t* mask = e.mask.get() + static_cast<size_t>(y) * static_cast<size_t>(im.width);
    for (int32_t x = 1; x < im.width - 1; ++x) {
      const uint8_t* c = in.at(x, y);
      bool detail = false;
      for (int i = 0; i < 3 && !detail; ++i) {
        const int32_t v = c[i];
        const bool vertical = std::abs(v - c[i - row]) > d && std::abs(v - c[i + row]) > d;
        const bool horizontal = std::abs(v - c[i + 4]) > d && std::abs(v - c[i - 4]) > d;
        detail = vertical || horizontal;
      }
      if (detail) mask[x] = value;
    }
  }
}

}  // namespace cvl
