// Generators that cover the whole picture with a texture: plasma, Perlin noise,
// grain, blobs. A single-colour texture runs between the given colour (its low
// values) and that colour's inverse (its high values), so any colour gives visible
// shading; the colour flag gives every channel a field of its own instead.
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imagescript/effect_runners.h"
#include "imagescript/generate_support.h"
#include "imaging/parallel_bands.h"
#include "imagescript/noise_fields.h"
#include "imagescript/shape_layer.h"

namespace cvl::imagescript {
namespace {

using namespace generate_detail;

// Midpoint-displacement plasma on a (2^k + 1)-square grid, normalised to 0..1. The
// grid stops at 1025 points a side and is stretched over larger pictures.
class DiamondSquare {
 public:
  DiamondSquare(Lcg& random, int32_t w, int32_t h, double decay) {
    int32_t side = 2;
    while (side < std::max(w, h) && side < 1024) side *= 2;
    n_ = side + 1;
    grid_.assign(size_t(n_) * n_, 0.f);
    scale_ = double(side) / std::max(std::max(w, h) - 1, 1);
    auto at = [&](int32_t x, int32_t y) -> float& { return grid_[size_t(y) * n_ + x]; };
    at(0, 0) = float(random.unit()), at(side, 0) = float(random.unit());
    at(0, side) = float(random.unit()), at(side, side) = float(random.unit());
    double amount = 0.5;
    for (int32_t step = side; step > 1; step /= 2, amount *= decay) {
      const int32_t half = step / 2;
      for (int32_t y = half; y < n_; y += step)
        for (int32_t x = half; x < n_; x += step)
          at(x, y) = float(
              (at(x - half, y - half) + at(x + half, y - half) + at(x - half, y + half) + at(x + half, y + half)) / 4 +
              random.range(-amount, amount));
      for (int32_t y = 0; y < n_; y += half)
        for (int32_t x = (y / half) % 2 ? 0 : half; x < n_; x += step) {
          double sum = 0;
          int32_t k = 0;
          if (x >= half) sum += at(x - half, y), ++k;
          if (x + half < n_) sum += at(x + half, y), ++k;
          if (y >= half) sum += at(x, y - half), ++k;
          if (y + half < n_) sum += at(x, y + half), ++k;
          at(x, y) = float(sum / k + random.range(-amount, amount));
        }
    }
    const auto [lo, hi] = std::minmax_element(grid_.begin(), grid_.end());
    const float low = *lo, range = std::max(*hi - *lo, 1e-6f);
    for (float& f : grid_) f = (f - low) / range;
  }
  double at(int32_t x, int32_t y) const {
    const double gx = x * scale_, gy = y * scale_;
    const int32_t x0 = std::min(static_cast<int32_t>(gx), n_ - 2), y0 = std::min(static_cast<int32_t>(gy), n_ - 2);
    const double tx = gx - x0, ty = gy - y0;
    const float* r0 = &grid_[size_t(y0) * n_ + x0];
    const float* r1 = r0 + n_;
    const double top = r0[0] + (r0[1] - r0[0]) * tx, bottom = r1[0] + (r1[1] - r1[0]) * tx;
    return top + (bottom - top) * ty;
  }

 private:
  int32_t n_ = 0;
  double scale_ = 1;
  std::vector<float> grid_;
};

}  // namespace

// 5: value 3 the seed, 4 the roughness (0 smooth, 250 the usual, 500 rough), 5-7 the
// colour, 11 blend, 12 = 1 colourful (a plasma per channel).
bool run_plasma(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  Lcg random(v(3));
  const double decay = 0.25 + std::clamp(v(4, 250), 0, 500) / 1000.0;
  const bool colourful = v(12) == 1;
  std::vector<DiamondSquare> planes;
  for (int c = 0; c < (colourful ? 3 : 1); ++c) planes.emplace_back(random, w, h, decay);
  PaintLayer layer(w, h);
  fill_layer(layer, colour_at(v, 5), colourful,
             [&](int c, int32_t x, int32_t y) { return planes[size_t(c)].at(x, y); });
  layer.blend_onto(rgba, blend_from_value(v(11, 12)));
  return true;
}

// 11: value 3 the seed, 4 the feature size (percent of the picture's larger side), 5
// the detail (more octaves as it rises), 6-8 colour, 12 blend, 13 = 1 colourful.
bool run_perlin(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  Lcg random(v(3));
  const double cell = std::max(2.0, std::clamp(v(4, 25), 1, 1000) * 0.005 * std::max(w, h));
  const int32_t octaves = 1 + std::clamp(v(5, 1), 1, 101) / 17;
  const bool colourful = v(13) == 1;
  std::vector<GradientNoise> fields;
  for (int c = 0; c < (colourful ? 3 : 1); ++c) fields.emplace_back(random);
  // Each octave's lattice place of every column, found once; the rows' in the bands.
  std::vector<double> scales, amps;
  double amp = 1, total = 0, scale = 1.0 / cell;
  for (int32_t o = 0; o < octaves; ++o, amp *= 0.5, scale *= 2)
    scales.push_back(scale), amps.push_back(amp), total += amp;
  std::vector<GradientNoise::Axis> columns(size_t(w) * size_t(octaves));
  for (int32_t o = 0; o < octaves; ++o)
    for (int32_t x = 0; x < w; ++x) columns[size_t(o) * w + x] = GradientNoise::axis(x * scales[size_t(o)] + o * 17.3);
  const Rgb base = colour_at(v, 6);
  PaintLayer layer(w, h);
  imaging::for_each_band(h, int64_t(w) * 8 * octaves * int64_t(fields.size()), [&](int first, int end) {
    std::vector<GradientNoise::Axis> row(static_cast<size_t>(octaves));
    std::vector<double> sums(size_t(w) * fields.size());
    for (int32_t y = first; y < end; ++y) {
      for (int32_t o = 0; o < octaves; ++o) row[size_t(o)] = GradientNoise::axis(y * scales[size_t(o)] + o * 7.1);
      for (size_t c = 0; c < fields.size(); ++c) {
        double* out = &sums[c * size_t(w)];
        for (int32_t x = 0; x < w; ++x) {
          double sum = 0;
          for (int32_t o = 0; o < octaves; ++o)
            sum += amps[size_t(o)] * fields[c].at(columns[size_t(o) * w + x], row[size_t(o)]);
          out[x] = 0.5 + 0.5 * sum / total;
        }
      }
      uint8_t* p = layer.row(y);
      for (int32_t x = 0; x < w; ++x, p += 4) {
        const Rgb c = colourful ? Rgb{clamp_byte(255 * sums[size_t(x)]), clamp_byte(255 * sums[size_t(w + x)]),
                                      clamp_byte(255 * sums[size_t(2 * w + x)])}
                                : shade(base, sums[size_t(x)]);
        p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 255;
      }
    }
  });
  layer.blend_onto(rgba, blend_from_value(v(12, 12)));
  return true;
}

// 55: value 3 the seed, 4-6 the colour, 10 blend, 11 = 1 colourful. Several octaves of
// value noise, coarse to fine, so the texture has detail at every scale. The lattices
// are drawn first; the rows are then evaluated in bands.
bool run_fractal_plasma(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  Lcg random(v(3));
  const bool colourful = v(11) == 1;
  const double cell = std::max(4.0, std::max(w, h) / 3.0);
  std::vector<FractalNoise> fields;
  for (int c = 0; c < (colourful ? 3 : 1); ++c) fields.emplace_back(random, w, h, cell, 7, 0.55);
  const Rgb base = colour_at(v, 4);
  PaintLayer layer(w, h);
  imaging::for_each_band(h, int64_t(w) * 16 * int64_t(fields.size()), [&](int first, int end) {
    std::vector<FractalNoise::Scratch> scratch(fields.size());
    std::vector<double> sums(size_t(w) * fields.size());
    for (int32_t y = first; y < end; ++y) {
      for (size_t c = 0; c < fields.size(); ++c) fields[c].row(y, &sums[c * size_t(w)], scratch[c]);
      uint8_t* p = layer.row(y);
      // Stretch the sum's narrow middle-heavy range back toward 0..1.
      auto stretch = [](double sum) { return (sum - 0.5) * 2.2 + 0.5; };
      if (colourful) {
        const double *r = &sums[0], *g = &sums[size_t(w)], *b = &sums[2 * size_t(w)];
        for (int32_t x = 0; x < w; ++x, p += 4)
          p[0] = clamp_byte(255 * stretch(r[x])), p[1] = clamp_byte(255 * stretch(g[x])),
          p[2] = clamp_byte(255 * stretch(b[x])), p[3] = 255;
      } else {
        for (int32_t x = 0; x < w; ++x, p += 4) {
          const Rgb c = shade(base, stretch(sums[size_t(x)]));
          p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 255;
        }
      }
    }
  });
  layer.blend_onto(rgba, blend_from_value(v(10, 12)));
  return true;
}

// 24: values 3 and 4 the number of waves across and down, 5 and 6 their phases (250 a
// full turn), 7-9 colour, 13 blend. Not random: the same values draw the same picture.
bool run_sine_plasma(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const SinePlasma plasma(v, w, h);
  PaintLayer layer(w, h);
  imaging::for_each_band(h, int64_t(w) * 64, [&](int first, int end) {
    std::vector<double> rings(static_cast<size_t>(w));
    for (int32_t y = first; y < end; ++y) {
      // The rings are even about the middle column: x - cx and (w - x) - cx are exact
      // opposites, so the right half reads the left half's values.
      for (int32_t x = 0; x < w; ++x) rings[size_t(x)] = x > plasma.cx ? rings[size_t(w - x)] : plasma.ring(x, y);
      uint8_t* p = layer.row(y);
      for (int32_t x = 0; x < w; ++x, p += 4) {
        plasma.colour(x, y, rings[size_t(x)], p);
        p[3] = 255;
      }
    }
  });
  layer.blend_onto(rgba, blend_from_value(v(13, 12)));
  return true;
}

// 21: value 3 the seed, 4 the density (percent of grains drawn), 5 the strength of the
// grain (0 the plain colour, 255 from the colour to its inverse), 6 the grain size in
// pixels, 7-9 colour, 13 blend, 14 = 1 grains of random colours.
bool run_noise(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  Lcg random(v(3));
  const int32_t density = std::clamp(v(4, 100), 0, 100), grain = std::clamp(v(6, 1), 1, std::max(w, h));
  const double strength = std::clamp(v(5, 255), 0, 255) / 255.0;
  const Rgb base = colour_at(v, 7);
  const bool random_colours = v(14) == 1;
  if (density == 0) return true;
  PaintLayer layer(w, h);
  for (int32_t gy = 0; gy < h; gy += grain)
    for (int32_t gx = 0; gx < w; gx += grain) {
      const bool drawn = random.below(100) < density;
      const Rgb c = random_colours
                        ? Rgb{uint8_t(random.next() & 255), uint8_t(random.next() & 255), uint8_t(random.next() & 255)}
                        : shade(base, strength * random.unit());
      if (!drawn) continue;
      for (int32_t y = gy; y < std::min(gy + grain, h); ++y)
        for (int32_t x = gx; x < std::min(gx + grain, w); ++x) layer.set(x, y, c);
    }
  layer.blend_onto(rgba, blend_from_value(v(13, 12)));
  return true;
}

namespace {

struct Blob {
  double cx, cy, r, inv_r2;
  int32_t x0, x1, y0, y1;  // the box the twin measures
  float red, green, blue;
};

// One blob's share of one row: the field (1 - d^2)^2 inside the disc, and the colour
// weighted by it. Only the row's chord of the disc, a pixel slack each way, is
// measured; outside the disc nothing is added, which leaves the (never negative) sums
// exactly as they were.
void add_blob_row(const Blob& b, int32_t y, float* __restrict field, float* __restrict red, float* __restrict green,
                  float* __restrict blue) {
  const double ey = (y + 0.5 - b.cy) * (y + 0.5 - b.cy);
  const double reach = std::sqrt(std::max(b.r * b.r - ey, 0.0)) + 1;
  const int32_t lo = static_cast<int32_t>(std::clamp(std::floor(b.cx - reach - 0.5), double(b.x0), double(b.x1)));
  const int32_t hi = static_cast<int32_t>(std::clamp(std::ceil(b.cx + reach - 0.5) + 1, double(lo), double(b.x1)));
  const double cx = b.cx, inv_r2 = b.inv_r2;
  const float cr = b.red, cg = b.green, cb = b.blue;
  int32_t x = lo;
#if defined(__SSE2__)
  // Four pixels a step, every operation the one the plain loop makes, in its order.
  const __m128d half = _mm_set1_pd(0.5), centre = _mm_set1_pd(cx), down = _mm_set1_pd(ey);
  const __m128d scale = _mm_set1_pd(inv_r2), one = _mm_set1_pd(1.0);
  const __m128 wr = _mm_set1_ps(cr), wg = _mm_set1_ps(cg), wb = _mm_set1_ps(cb);
  auto weight = [&](__m128d xs) {
    const __m128d dx = _mm_sub_pd(_mm_add_pd(xs, half), centre);
    const __m128d d2 = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(dx, dx), down), scale);
    const __m128d rest = _mm_sub_pd(one, d2);
    return _mm_and_pd(_mm_cmplt_pd(d2, one), _mm_mul_pd(rest, rest));  // 0 outside
  };
  for (; x + 4 <= hi; x += 4) {
    const __m128d x01 = _mm_set_pd(x + 1, x), x23 = _mm_set_pd(x + 3, x + 2);
    const __m128 f = _mm_movelh_ps(_mm_cvtpd_ps(weight(x01)), _mm_cvtpd_ps(weight(x23)));
    _mm_storeu_ps(field + x, _mm_add_ps(_mm_loadu_ps(field + x), f));
    _mm_storeu_ps(red + x, _mm_add_ps(_mm_loadu_ps(red + x), _mm_mul_ps(f, wr)));
    _mm_storeu_ps(green + x, _mm_add_ps(_mm_loadu_ps(green + x), _mm_mul_ps(f, wg)));
    _mm_storeu_ps(blue + x, _mm_add_ps(_mm_loadu_ps(blue + x), _mm_mul_ps(f, wb)));
  }
#endif
  for (; x < hi; ++x) {
    const double d2 = ((x + 0.5 - cx) * (x + 0.5 - cx) + ey) * inv_r2;
    const float f = d2 < 1 ? static_cast<float>((1 - d2) * (1 - d2)) : 0.f;
    field[x] += f, red[x] += f * cr, green[x] += f * cg, blue[x] += f * cb;
  }
}

}  // namespace

// 20: value 3 the seed, 4 the count, 5 the largest radius, 7-9 colour, 13 blend, 14 = 1
// random colours. Blobs that come close flow together, as drops of liquid do. Every
// blob is drawn from the generator first; then the field is summed a row at a time
// (each pixel adding its blobs in the drawing order), in bands of rows.
bool run_blobs(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t count = std::clamp(v(4), 0, 20000);
  if (count == 0) return true;
  Lcg random(v(3));
  const Palette palette = palette_from(v, 7, 14, 0);
  const double largest = std::clamp(v(5), 2, 20000);
  std::vector<Blob> blobs;
  blobs.reserve(size_t(count));
  for (int32_t i = 0; i < count; ++i) {
    const double cx = random.range(0, w), cy = random.range(0, h), r = largest * random.range(0.4, 1.0);
    const Rgb c = palette.pick(random);
    blobs.push_back({cx, cy, r, 1.0 / (r * r), static_cast<int32_t>(std::clamp(cx - r, 0.0, double(w))),
                     static_cast<int32_t>(std::clamp(cx + r + 1, 0.0, double(w))),
                     static_cast<int32_t>(std::clamp(cy - r, 0.0, double(h))),
                     static_cast<int32_t>(std::clamp(cy + r + 1, 0.0, double(h))), float(c.r), float(c.g), float(c.b)});
  }
  PaintLayer layer(w, h);
  const int64_t work = int64_t(std::min(largest * 2, double(w))) * count / 4 + w;
  imaging::for_each_band(h, work, [&](int first, int end) {
    const size_t row = size_t(w);
    std::vector<float> field(row), red(row), green(row), blue(row);
    std::vector<const Blob*> near;  // the blobs reaching a run of rows, in order
    constexpr int32_t kRun = 32;
    for (int32_t run = first; run < end; run += kRun) {
      const int32_t run_end = std::min(end, run + kRun);
      near.clear();
      for (const Blob& b : blobs)
        if (b.y0 < run_end && b.y1 > run) near.push_back(&b);
      for (int32_t y = run; y < run_end; ++y) {
        std::fill(field.begin(), field.end(), 0.f), std::fill(red.begin(), red.end(), 0.f);
        std::fill(green.begin(), green.end(), 0.f), std::fill(blue.begin(), blue.end(), 0.f);
        for (const Blob* b : near)
          if (y >= b->y0 && y < b->y1) add_blob_row(*b, y, field.data(), red.data(), green.data(), blue.data());
        for (int32_t x = 0; x < w; ++x) {
          const float f = field[size_t(x)];
          if (f <= 0) continue;
          const Rgb c{clamp_byte(red[size_t(x)] / f), clamp_byte(green[size_t(x)] / f),
                      clamp_byte(blue[size_t(x)] / f)};
          layer.cover(x, y, c, (f - 0.3) * 8);  // the surface where the field reaches about a third
        }
      }
    }
  });
  layer.blend_onto(rgba, blend_from_value(v(13, 12)));
  return true;
}

}  // namespace cvl::imagescript
