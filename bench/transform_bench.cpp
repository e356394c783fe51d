// Geometric transforms of a 4096 x 4096 RGBA picture, beside libvips on one
// thread in the same run: the spin (a map computed per pixel, bilinear) against
// libvips' mapim given the same map ready-made, and the quad warp turning the
// picture by 10 degrees against libvips' affine doing the same turn.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench_pictures.h"
#include "imaging/geometry/distort.h"
#include "imaging/geometry/polygon_warp.h"

#include "vips_peer.h"

namespace {

constexpr int kEdge = 4096;
constexpr float kSpinAngle = 120, kSpinRadius = 1800;
constexpr double kTurn = 10 * 3.14159265358979323846 / 180;
const cvl::imaging::Colour kFill{0, 0, 0, 0};

const std::vector<uint8_t>& picture() { return bench::painted_picture_4096(); }
cvl::imaging::ImageView view_of(std::vector<uint8_t>& px) { return {px.data(), kEdge, kEdge, 4, kEdge * 4}; }

void rate(benchmark::State& state) {
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

const cvl::imaging::Centre kCentre{(kEdge - 1) * 0.5f, (kEdge - 1) * 0.5f};

void BM_Spin_4096(benchmark::State& state) {
  auto& px = const_cast<std::vector<uint8_t>&>(picture());
  std::vector<uint8_t> out(px.size());
  for (auto _ : state)
    benchmark::DoNotOptimize(
        cvl::imaging::spin_image(view_of(px), view_of(out), kFill, kCentre, kSpinAngle, kSpinRadius));
  rate(state);
}
BENCHMARK(BM_Spin_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// The picture's corners turned by kTurn about its middle.
cvl::imaging::Quad turned_quad() {
  const double c = (kEdge - 1) * 0.5, cs = std::cos(kTurn), sn = std::sin(kTurn);
  cvl::imaging::Quad q{{{0, 0}, {kEdge - 1, 0}, {kEdge - 1, kEdge - 1}, {0, kEdge - 1}}};
  for (auto& p : q) {
    const double dx = p.x - c, dy = p.y - c;
    p = {c + dx * cs - dy * sn, c + dx * sn + dy * cs};
  }
  return q;
}

void BM_QuadWarpTurn_4096(benchmark::State& state) {
  auto& px = const_cast<std::vector<uint8_t>&>(picture());
  std::vector<uint8_t> out(px.size());
  const cvl::imaging::Quad from{{{0, 0}, {kEdge - 1, 0}, {kEdge - 1, kEdge - 1}, {0, kEdge - 1}}};
  const cvl::imaging::Quad to = turned_quad();
  for (auto _ : state) benchmark::DoNotOptimize(cvl::imaging::polygon_warp(view_of(px), view_of(out), from, to, kFill));
  rate(state);
}
BENCHMARK(BM_QuadWarpTurn_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef CORVEL_HAVE_VIPS
// The spin's source points as a two-band float image, made once: libvips is
// timed on the resampling alone.
const std::vector<float>& spin_map() {
  static const std::vector<float> map = [] {
    std::vector<float> m(size_t(kEdge) * kEdge * 2);
    const float a = kSpinAngle * 3.14159265f / 180;
    for (int y = 0; y < kEdge; ++y)
      for (int x = 0; x < kEdge; ++x) {
        float sx = float(x), sy = float(y);
        const float dx = x - kCentre.x, dy = y - kCentre.y, r = std::sqrt(dx * dx + dy * dy);
        if (r < kSpinRadius) {
          const float t = 1 - r / kSpinRadius, turn = a * t * t;
          sx = kCentre.x + dx * std::cos(turn) - dy * std::sin(turn);
          sy = kCentre.y + dx * std::sin(turn) + dy * std::cos(turn);
        }
        m[(size_t(y) * kEdge + x) * 2] = sx, m[(size_t(y) * kEdge + x) * 2 + 1] = sy;
      }
    return m;
  }();
  return map;
}

void BM_VipsMapimSpin_4096(benchmark::State& state) {
  const std::vector<float>& map = spin_map();
  bench::run_vips(state, picture(), kEdge, picture().size(), [&](VipsImage* in, VipsImage** out) {
    VipsImage* index = vips_image_new_from_memory(map.data(), map.size() * sizeof(float), kEdge, kEdge, 2,
                                                  VIPS_FORMAT_FLOAT);
    VipsInterpolate* bilinear = vips_interpolate_new("bilinear");
    const int failed = vips_mapim(in, out, index, "interpolate", bilinear, nullptr);
    g_object_unref(bilinear);
    g_object_unref(index);
    return failed;
  });
  rate(state);
}
BENCHMARK(BM_VipsMapimSpin_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VipsAffineTurn_4096(benchmark::State& state) {
  const double cs = std::cos(kTurn), sn = std::sin(kTurn), c = (kEdge - 1) * 0.5;
  bench::run_vips(state, picture(), kEdge, picture().size(), [&](VipsImage* in, VipsImage** out) {
    const int box[4] = {0, 0, kEdge, kEdge};
    VipsArrayInt* area = vips_array_int_new(box, 4);
    VipsInterpolate* bilinear = vips_interpolate_new("bilinear");
    // Turn about the middle: output = R (input - c) + c.
    const int failed = vips_affine(in, out, cs, -sn, sn, cs, "oarea", area, "idx", -c, "idy", -c, "odx", c,
                                   "ody", c, "interpolate", bilinear, nullptr);
    g_object_unref(bilinear);
    vips_area_unref(VIPS_AREA(area));
    return failed;
  });
  rate(state);
}
BENCHMARK(BM_VipsAffineTurn_4096)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
