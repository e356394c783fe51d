// The distortions, polygon warps and bump displacements: each kernel beside its
// plain twin on a 2048 x 2048 picture (same run, so the ratio is fair on a busy
// machine), and each effect as a host runs it through the exports on one thread.
// Times are the calling thread's CPU time.
#include <benchmark/benchmark.h>

#include <functional>
#include <iterator>
#include <utility>
#include <string>
#include <vector>

#include "bench_pictures.h"
#include "core/engine.h"
#include "corvel/corvel.h"
#include "host_args.h"
#include "effects/displacement.h"
#include "imaging/geometry/bump_displace.h"
#include "imaging/geometry/distort.h"
#include "imaging/geometry/polygon_warp.h"
#include "imaging/parallel_bands.h"

namespace {

using cvl::imaging::Colour;
using cvl::imaging::ImageView;
using cvl::imaging::Quad;

constexpr int kEdge = 2048;
constexpr int kSlot = 2;
const Colour kFill{10, 20, 30, 0};

void set_rate(benchmark::State& state, double seconds_total) {
  state.counters["Mpix/s"] = benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6 / seconds_total);
}

// Runs `kernel` from the varied picture into a scratch image on one thread.
void time_kernel(benchmark::State& state, const std::function<bool(const ImageView&, const ImageView&)>& kernel) {
  static const std::vector<uint8_t> px = bench::varied_picture(kEdge);
  std::vector<uint8_t> out(px.size());
  const ImageView src{const_cast<uint8_t*>(px.data()), kEdge, kEdge, 4, kEdge * 4};
  const ImageView dst{out.data(), kEdge, kEdge, 4, kEdge * 4};
  cvl::imaging::set_thread_count(1);
  double total = 0;
  for (auto _ : state) {
    const double t0 = bench::thread_seconds();
    if (!kernel(src, dst)) state.SkipWithError("the kernel failed");
    const double t = bench::thread_seconds() - t0;
    total += t;
    state.SetIterationTime(t);
  }
  cvl::imaging::set_thread_count(0);
  set_rate(state, total);
}

// A perspective quad over most of the picture, and the box it came from.
const Quad kBox{{{0, 0}, {kEdge - 1, 0}, {kEdge - 1, kEdge - 1}, {0, kEdge - 1}}};
const Quad kTilted{{{-40, 30}, {kEdge - 200, -10}, {kEdge + 30, kEdge - 60}, {90, kEdge - 1}}};

template <bool kReference>
void BM_PolygonWarp(benchmark::State& state) {
  const Quad& to = state.range(0) ? kTilted : kBox;
  time_kernel(state, [&](const ImageView& s, const ImageView& d) {
    return kReference ? cvl::imaging::polygon_warp_reference(s, d, kBox, to, kFill)
                      : cvl::imaging::polygon_warp(s, d, kBox, to, kFill);
  });
}
BENCHMARK_TEMPLATE(BM_PolygonWarp, true)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_PolygonWarp, false)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The relief the effect reads at the host's defaults: the bricks script repeated.
template <bool kReference>
void BM_BumpDisplace(benchmark::State& state) {
  static const std::vector<uint8_t> relief = [] {
    std::vector<uint8_t> g;
    cvl::grey_relief((std::string(CORVEL_EXAMPLES_DIR) + "/scripts/bricks.isc").c_str(), kEdge, kEdge, g);
    return g;
  }();
  if (relief.empty()) return state.SkipWithError("the relief script was not read");
  const float depth = float(state.range(0));
  time_kernel(state, [&](const ImageView& s, const ImageView& d) {
    return kReference ? cvl::imaging::bump_displace_reference(s, d, relief.data(), kEdge, kEdge, depth, kFill)
                      : cvl::imaging::bump_displace(s, d, relief.data(), kEdge, kEdge, depth, kFill);
  });
}
BENCHMARK_TEMPLATE(BM_BumpDisplace, true)->Arg(50)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_BumpDisplace, false)->Arg(50)->UseManualTime()->Unit(benchmark::kMillisecond);

// Each distortion with the settings the host's midpoints give on a 2048 picture
// (Pinch, Spin and Spin Wave are neutral there), beside its plain twin.
namespace im = cvl::imaging;
using Distort = std::function<bool(const ImageView&, const ImageView&, bool)>;
const im::Centre kMid{1023.5f, 1023.5f};
template <class Fast, class Plain>
Distort pair(Fast fast, Plain plain) {
  return [=](const ImageView& s, const ImageView& d, bool reference) { return reference ? plain(s, d) : fast(s, d); };
}
#define DISTORT(fn, ...)                                                                 \
  pair([](const ImageView& s, const ImageView& d) { return im::fn(s, d, __VA_ARGS__); }, \
       [](const ImageView& s, const ImageView& d) { return im::fn##_reference(s, d, __VA_ARGS__); })
const std::pair<const char*, Distort> kDistorts[] = {
    {"Elliptical", DISTORT(elliptical_image, kFill, kMid, 1024, 1024, false)},
    {"Lens", DISTORT(lens_image, kFill, kMid, 1024)},
    {"Marble", DISTORT(marble_image, kFill, 1024, 1024, 2)},
    {"Pinch", DISTORT(pinch_image, kFill, kMid, 0, 1024)},
    {"PinchHalf", DISTORT(pinch_image, kFill, kMid, 0.5f, 1024)},
    {"Ripple", DISTORT(ripple_image, kFill, kMid, 1024, 1024, 0, false)},
    {"Spin", DISTORT(spin_image, kFill, kMid, 0, 1024)},
    {"Spin90", DISTORT(spin_image, kFill, kMid, 90, 1024)},
    {"SpinWave", DISTORT(spin_wave_image, kFill, kMid, 0, 1024, 1024)},
    {"Wave", DISTORT(wave_image, kFill, 1024, 1024, im::WaveAxis::Both)},
    {"Wow", DISTORT(wow_image, kFill, kMid, 0.25f, 6)},
    {"ZigZag", DISTORT(zig_zag_image, kFill, kMid, 1024, 1024, im::ZigZagStyle::Rings)},
};

void BM_Distort(benchmark::State& state, int index, bool reference) {
  time_kernel(state, [&](const ImageView& s, const ImageView& d) { return kDistorts[index].second(s, d, reference); });
}
const bool kDistortsRegistered = [] {
  for (int i = 0; i < int(std::size(kDistorts)); ++i)
    for (bool reference : {true, false})
      benchmark::RegisterBenchmark(
          (std::string("BM_Distort/") + kDistorts[i].first + (reference ? "/reference" : "/fast")).c_str(),
          [i, reference](benchmark::State& st) { BM_Distort(st, i, reference); })
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond);
  return true;
}();

// An effect through CVL_IPLImageProcess on one thread with the host's starting
// arguments; the layer is restored before each run, outside the timing.
void BM_HostEffect(benchmark::State& state, const char* name) {
  const std::vector<uint16_t>& words = bench::varied_layer_words(kEdge, kSlot);
  const bench::HostArgs a = bench::host_args(name);
  const std::string script = std::string(CORVEL_EXAMPLES_DIR) + "/scripts/bricks.isc";
  CVL_SetThreadCount(1);
  double total = 0;
  for (auto _ : state) {
    cvl::Layer& layer = cvl::engine().slot(kSlot);
    std::copy(words.begin(), words.end(), layer.data());
    const double t0 = bench::thread_seconds();
    CVL_SetLayer(kSlot);
    CVL_IPLAllocSrcBuffer32();
    CVL_IPLAllocDstBuffer32();
    const int32_t done =
        CVL_IPLImageProcess(0, name, a.i1, a.s[0], a.s[1], a.s[2], a.s[3], a.s[4], a.s[5], a.option, a.i2, a.f[0],
                            a.f[1], a.f[2], a.f[3], a.f[4], a.f[5], a.colour, a.colour, a.colour, script.c_str());
    CVL_IPLFreeSrcBuffer32();
    CVL_IPLFreeDstBuffer32();
    const double t = bench::thread_seconds() - t0;
    if (!done) state.SkipWithError("the effect did nothing");
    total += t;
    state.SetIterationTime(t);
  }
  CVL_SetThreadCount(0);
  set_rate(state, total);
}

#define HOST_EFFECT(label, name) \
  BENCHMARK_CAPTURE(BM_HostEffect, label, name)->UseManualTime()->Unit(benchmark::kMillisecond)
HOST_EFFECT(Skew, "Skew");
HOST_EFFECT(Perspective, "Perspective");
HOST_EFFECT(Warp, "Warp");
HOST_EFFECT(Stretch, "Stretch");
HOST_EFFECT(StretchEdge, "Stretch Edge");
HOST_EFFECT(HorizontalPivot, "Horizontal Pivot");
HOST_EFFECT(VerticalPivot, "Vertical Pivot");
HOST_EFFECT(Warp3Point, "Warp 3 Point");
HOST_EFFECT(WarpEdge, "Warp Edge");
HOST_EFFECT(Midpoint, "Midpoint");
HOST_EFFECT(BumpSurface, "Displacement Bump Surface");
HOST_EFFECT(Elliptical, "Elliptical");
HOST_EFFECT(Ripple, "Ripple");
HOST_EFFECT(ZigZag, "Zig Zag");
HOST_EFFECT(Lens, "Lens");
HOST_EFFECT(Wave, "Wave");
HOST_EFFECT(SpinWave, "Spin Wave");
HOST_EFFECT(Pinch, "Pinch");
HOST_EFFECT(Spin, "Spin");
HOST_EFFECT(Marble, "Marble");
HOST_EFFECT(Wow, "Wow");

}  // namespace
