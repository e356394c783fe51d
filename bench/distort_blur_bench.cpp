// The distortion and path-blur effects as a host runs them: a 2048 x 2048 layer,
// both RGBA32 IPL buffers, CVL_IPLImageProcess with every slider at the middle of
// its described range and the other arguments at their defaults. The first
// argument is the thread count (1 is the figure that matters; 2 shows the bands).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "bench_pictures.h"
#include "corvel/corvel.h"

namespace {

constexpr int kEdge = 2048;
constexpr int kSlot = 2;

struct Call {
  int32_t i1 = 0, option = 0, i2 = 0, r = 0, g = 0, b = 0;
  int32_t s[6] = {}, f[6] = {};
};

// The call a host makes with the sliders at their midpoints.
Call midpoint_call(const char* effect) {
  Call c;
  int32_t index = 0;
  const char *frame = nullptr, *reads = nullptr;
  for (; const char* name = CVL_IPLEffectInfo(index, &frame, &reads); ++index)
    if (std::strcmp(name, effect) == 0) break;
  for (int32_t k = 0;; ++k) {
    const char *label = nullptr, *unit = nullptr, *meaning = nullptr;
    double lo = 0, hi = 0, def = 0;
    const char* id = CVL_IPLEffectArgumentInfo(index, k, &label, &unit, &lo, &hi, &def, &meaning);
    if (!id) break;
    const std::string a = id;
    if (a.size() == 2 && a[0] == 's') c.s[a[1] - '1'] = int32_t(std::lround((lo + hi) * 0.5 * 10));
    if (a.size() == 2 && a[0] == 'f') c.f[a[1] - '1'] = int32_t(std::lround(def));
    if (a == "i1") c.i1 = int32_t(std::lround(def));
    if (a == "i2") c.i2 = int32_t(std::lround(def));
    if (a == "option") c.option = int32_t(std::lround(def));
  }
  return c;
}

const std::vector<uint8_t>& picture() {
  static const std::vector<uint8_t> px = bench::rgba_picture(kEdge, [](int x, int y, uint8_t* q) {
    q[0] = uint8_t(x / 8), q[1] = uint8_t(y / 8), q[2] = uint8_t((x * 7 ^ y * 3) & 255);
    q[3] = (x < 256 && y < 256) ? uint8_t((x + y) / 2) : 255;
  });
  return px;
}

// A fresh canvas for each benchmark, as other files in this binary make their own.
void prepare() {
  CVL_IPLInit(0);
  CVL_CreateImage(nullptr, kEdge, kEdge, 64, 0);
  CVL_CreateLayer(1, kEdge, kEdge);
  CVL_CreateLayer(kSlot, kEdge, kEdge);
  CVL_SetLayer(kSlot);
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
}

void run(benchmark::State& state, const char* effect) {
  prepare();
  CVL_SetThreadCount(int32_t(state.range(0)));
  const Call c = midpoint_call(effect);
  for (auto _ : state) {
    state.PauseTiming();
    CVL_LoadRGBA32Layer(picture().data(), kEdge * 4, kSlot, 0, 0, kEdge, kEdge, 0);
    state.ResumeTiming();
    benchmark::DoNotOptimize(CVL_IPLImageProcess(0, effect, c.i1, c.s[0], c.s[1], c.s[2], c.s[3], c.s[4], c.s[5],
                                                 c.option, c.i2, c.f[0], c.f[1], c.f[2], c.f[3], c.f[4], c.f[5], c.r,
                                                 c.g, c.b, ""));
  }
  CVL_SetThreadCount(0);
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

void BM_Effect_Glass(benchmark::State& s) { run(s, "Glass"); }
void BM_Effect_ZoomBlur(benchmark::State& s) { run(s, "Zoom Blur"); }
void BM_Effect_RadialBlur(benchmark::State& s) { run(s, "Radial Blur"); }
void BM_Effect_SineDistortion(benchmark::State& s) { run(s, "Sine Distortion"); }
void BM_Effect_Kaleidoscope(benchmark::State& s) { run(s, "Kaleidoscope"); }
void BM_Effect_Waves(benchmark::State& s) { run(s, "Waves"); }
void BM_Effect_Divider(benchmark::State& s) { run(s, "Divider"); }
void BM_Effect_Zoom(benchmark::State& s) { run(s, "Zoom"); }
void BM_Effect_Rotate(benchmark::State& s) { run(s, "Rotate"); }
void BM_Effect_Wave(benchmark::State& s) { run(s, "Wave"); }
void BM_Effect_ZigZag(benchmark::State& s) { run(s, "Zig Zag"); }
void BM_Effect_Marble(benchmark::State& s) { run(s, "Marble"); }
void BM_Effect_Wow(benchmark::State& s) { run(s, "Wow"); }
void BM_Effect_Ripple(benchmark::State& s) { run(s, "Ripple"); }
void BM_Effect_Elliptical(benchmark::State& s) { run(s, "Elliptical"); }

BENCHMARK(BM_Effect_Glass)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_ZoomBlur)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_RadialBlur)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_SineDistortion)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_Kaleidoscope)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_Waves)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_Divider)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_Zoom)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_Rotate)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_Wave)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_ZigZag)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_Marble)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_Wow)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_Ripple)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Effect_Elliptical)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
