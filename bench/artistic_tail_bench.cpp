// The slow painterly effects timed as a host sees them: the current layer set,
// both RGBA32 IPL buffers made, CVL_IPLImageProcess with every slider at the
// middle of its described range and everything else at its default, on a
// 2048 x 2048 layer. The second argument is the thread count (1 is the aim's
// figure, 2 shows the banding).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench_pictures.h"
#include "host_args.h"
#include "core/engine.h"
#include "corvel/corvel.h"
#include "effects/inhouse_library.h"
#include "imaging/artistic/oil_paint.h"
#include "imaging/parallel_bands.h"

namespace {

constexpr int kEdge = 2048;
constexpr int kSlot = 2;

// A picture with gradients, grain, discs and a checker, so windows see both
// flat stretches and edges.
const std::vector<uint8_t>& picture() {
  static const std::vector<uint8_t> px = bench::rgba_picture(kEdge, [](int x, int y, uint8_t* q) {
    uint32_t h = uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u;
    h ^= h >> 15, h *= 0x2C1B3C6Du, h ^= h >> 12;
    const int grain = int(h & 31) - 16, cell = kEdge / 8;
    const int cx = x % cell - cell / 2, cy = y % cell - cell / 2, r = cell / 3;
    const int disc = cx * cx + cy * cy < r * r ? 60 : 0;
    auto clamp = [](int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
    q[0] = clamp(x * 255 / (kEdge - 1) + grain - disc);
    q[1] = clamp(y * 255 / (kEdge - 1) + grain + disc);
    q[2] = clamp((((x >> 5) + (y >> 5)) & 1 ? 200 : 50) + grain);
    q[3] = 255;
  });
  return px;
}

void run_effect(benchmark::State& state, const char* name) {
  static bool made = false;
  if (!made) {
    CVL_CreateImage(nullptr, kEdge, kEdge, 32, 0);
    CVL_CreateLayer(kSlot, kEdge, kEdge);
    made = true;
  }
  const bench::HostArgs a = bench::host_args(name);
  CVL_SetThreadCount(int32_t(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    CVL_LoadRGBA32Layer(picture().data(), kEdge * 4, kSlot, 0, 0, kEdge, kEdge, 0);
    state.ResumeTiming();
    CVL_SetLayer(kSlot);
    CVL_IPLAllocSrcBuffer32();
    CVL_IPLAllocDstBuffer32();
    benchmark::DoNotOptimize(CVL_IPLImageProcess(0, name, a.i1, a.s[0], a.s[1], a.s[2], a.s[3], a.s[4], a.s[5],
                                                 a.option, a.i2, a.f[0], a.f[1], a.f[2], a.f[3], a.f[4], a.f[5],
                                                 a.colour, a.colour, a.colour, ""));
    CVL_IPLFreeSrcBuffer32();
    CVL_IPLFreeDstBuffer32();
  }
  CVL_SetThreadCount(0);
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

// The library call alone on the same picture as RGB24 (brush 7, 127 levels, the
// mid-range sliders; flags 1 the round brush a host starts with, 3 per channel), the fast version against the reference
// in one run.
std::vector<uint8_t> rgb_picture() {
  std::vector<uint8_t> rgb(size_t(kEdge) * kEdge * 3);
  for (size_t i = 0; i < size_t(kEdge) * kEdge; ++i)
    for (int c = 0; c < 3; ++c) rgb[i * 3 + size_t(c)] = picture()[i * 4 + size_t(c)];
  return rgb;
}

template <bool Reference>
void BM_OilPaintLibrary(benchmark::State& state) {
  static const std::vector<uint8_t> src = rgb_picture();
  std::vector<uint8_t> dst(src.size());
  const cvl::imaging::ImageView s{const_cast<uint8_t*>(src.data()), kEdge, kEdge, 3, kEdge * 3};
  const cvl::imaging::ImageView d{dst.data(), kEdge, kEdge, 3, kEdge * 3};
  cvl::imaging::set_thread_count(1);
  for (auto _ : state)
    benchmark::DoNotOptimize(Reference ? cvl::imaging::oil_paint_reference(s, d, 7, 127, uint32_t(state.range(0)))
                                       : cvl::imaging::oil_paint(s, d, 7, 127, uint32_t(state.range(0))));
  cvl::imaging::set_thread_count(0);
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK_TEMPLATE(BM_OilPaintLibrary, false)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_OilPaintLibrary, true)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

// The Value Blur passes alone (the chains' last step: darker 1.0, lighter
// 0.5) on the RGBA picture, fast against reference, one thread.
template <bool Reference>
void BM_ValueBlurPasses(benchmark::State& state) {
  std::vector<uint8_t> src = picture(), dst = src;
  cvl::imaging::set_thread_count(1);
  for (auto _ : state) {
    state.PauseTiming();
    dst = src;
    state.ResumeTiming();
    cvl::InhouseParams p;
    p.p[0] = 1.0, p.p[1] = 0.5;
    const cvl::InhouseImages im{src.data(), dst.data(), kEdge, kEdge, nullptr, nullptr};
    if (Reference) cvl::inhouse_value_blur_reference(p, im);
    else cvl::inhouse_value_blur(p, im);
  }
  cvl::imaging::set_thread_count(0);
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK_TEMPLATE(BM_ValueBlurPasses, false)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ValueBlurPasses, true)->Unit(benchmark::kMillisecond);

void BM_OilPaint(benchmark::State& state) { run_effect(state, "Oil Paint"); }
void BM_WatercolorAndInk(benchmark::State& state) { run_effect(state, "Watercolor and Ink"); }
void BM_PhotoDetailer(benchmark::State& state) { run_effect(state, "Photo Detailer"); }
void BM_Median(benchmark::State& state) { run_effect(state, "Median"); }

BENCHMARK(BM_OilPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WatercolorAndInk)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PhotoDetailer)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Median)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Effects that share the primitives above.
void BM_Sharpen(benchmark::State& state) { run_effect(state, "Sharpen"); }
void BM_Scribble(benchmark::State& state) { run_effect(state, "Scribble"); }
void BM_SmartBlur(benchmark::State& state) { run_effect(state, "Smart Blur"); }
void BM_ValueBlur(benchmark::State& state) { run_effect(state, "Value Blur"); }
void BM_PhotoPop(benchmark::State& state) { run_effect(state, "Photo Pop"); }
void BM_Crackle(benchmark::State& state) { run_effect(state, "Crackle"); }
BENCHMARK(BM_Sharpen)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Scribble)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SmartBlur)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ValueBlur)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PhotoPop)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Crackle)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
