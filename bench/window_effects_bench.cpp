// The window-filter effects (sharpening, means, extremes, noise reduction, the
// surface and value blurs, the crackle and scribble textures) timed as a host
// runs them: the layer set, both RGBA32 IPL buffers made, CVL_IPLImageProcess
// with every slider at the middle of its described range, the buffers freed.
// 2048 x 2048 on one thread; the rate is whole-picture pixels per second.
//
//   corvel_bench --benchmark_filter='^window_effect/'
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench_pictures.h"
#include "core/engine.h"
#include "corvel/corvel.h"

namespace {

constexpr int kEdge = 2048;
constexpr int kSlot = 2;

constexpr const char* kEffects[] = {"Dust and Scratches",
                                    "Sharpen More",
                                    "Sharpen",
                                    "Surface Blur",
                                    "Noise Reduction 2",
                                    "Maximum",
                                    "Minimum",
                                    "Geometric Mean",
                                    "Despeckle",
                                    "Harmonic Mean",
                                    "Noise Reduction RGB",
                                    "Noise Reduction",
                                    "Scribble",
                                    "Crackle",
                                    "Smart Blur",
                                    "Value Blur"};

// Gradients with grain, a checker, discs and lone white dots, so that window
// filters meet flat areas, edges and outliers.
std::vector<uint8_t> picture() {
  const int cell = kEdge / 8;
  return bench::rgba_picture(kEdge, [cell](int x, int y, uint8_t* q) {
    uint32_t h = uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u;
    h ^= h >> 15, h *= 0x2C1B3C6Du, h ^= h >> 12;
    const int grain = int(h & 31) - 16;
    const bool check = ((x >> 5) + (y >> 5)) & 1;
    const int cx = x % cell - cell / 2, cy = y % cell - cell / 2, r = cell / 3;
    const int disc = cx * cx + cy * cy < r * r ? 60 : 0;
    auto clamp = [](int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
    q[0] = clamp(x * 255 / (kEdge - 1) + grain - disc);
    q[1] = clamp(y * 255 / (kEdge - 1) + grain + disc);
    q[2] = clamp((check ? 200 : 50) + grain);
    q[3] = x < kEdge * 3 / 4 ? 255 : uint8_t(64 + (kEdge - 1 - y) * 188 / (kEdge - 1));
    if (x % 23 == 11 && y % 19 == 7) q[0] = q[1] = q[2] = 255;
  });
}

struct Args {
  int32_t s[6] = {}, option = 0, i1 = 0, i2 = 0, f[6] = {};
};

// Sliders at the middle of their ranges (in tenths), everything else at its default.
Args host_args(const char* name) {
  Args a;
  for (int i = 0;; ++i) {
    const char *frame = nullptr, *reads = nullptr;
    const char* n = CVL_IPLEffectInfo(i, &frame, &reads);
    if (!n) break;
    if (std::strcmp(n, name) != 0) continue;
    for (int k = 0;; ++k) {
      const char *label = nullptr, *unit = nullptr, *meaning = nullptr;
      double lo = 0, hi = 0, def = 0;
      const char* arg = CVL_IPLEffectArgumentInfo(i, k, &label, &unit, &lo, &hi, &def, &meaning);
      if (!arg) break;
      const std::string s = arg;
      const bool numbered = s.size() == 2 && s[1] >= '1' && s[1] <= '6';
      if (numbered && s[0] == 's') a.s[s[1] - '1'] = int32_t(std::lround((lo + hi) / 2 * 10));
      else if (numbered && s[0] == 'f') a.f[s[1] - '1'] = int32_t(std::lround(def));
      else if (s == "option") a.option = int32_t(std::lround(def));
      else if (s == "i1") a.i1 = int32_t(std::lround(def));
      else if (s == "i2") a.i2 = int32_t(std::lround(def));
    }
    break;
  }
  return a;
}

void time_effect(benchmark::State& state, const char* name) {
  static std::vector<uint16_t> words;
  if (words.empty()) {
    CVL_CreateImage(nullptr, kEdge, kEdge, 32, 0);
    CVL_CreateLayer(kSlot, kEdge, kEdge);
    const std::vector<uint8_t> px = picture();
    CVL_LoadRGBA32Layer(px.data(), kEdge * 4, kSlot, 0, 0, kEdge, kEdge, 0);
    const cvl::Layer& layer = cvl::engine().slot(kSlot);
    words.assign(layer.data(), layer.data() + size_t(kEdge) * kEdge * 4);
  }
  const Args a = host_args(name);
  CVL_SetThreadCount(1);
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(cvl::engine().slot(kSlot).data(), words.data(), words.size() * sizeof(uint16_t));
    CVL_SetRandomSeed(1);
    state.ResumeTiming();
    CVL_SetLayer(kSlot);
    if (!CVL_IPLAllocSrcBuffer32() || !CVL_IPLAllocDstBuffer32()) {
      state.SkipWithError("the IPL buffers were not made");
      break;
    }
    benchmark::DoNotOptimize(CVL_IPLImageProcess(0, name, a.i1, a.s[0], a.s[1], a.s[2], a.s[3], a.s[4], a.s[5],
                                                 a.option, a.i2, a.f[0], a.f[1], a.f[2], a.f[3], a.f[4], a.f[5], 0, 0,
                                                 0, ""));
    CVL_IPLFreeSrcBuffer32();
    CVL_IPLFreeDstBuffer32();
  }
  CVL_SetThreadCount(0);
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

const bool registered = [] {
  for (const char* name : kEffects)
    benchmark::RegisterBenchmark((std::string("window_effect/") + name).c_str(),
                                 [name](benchmark::State& state) { time_effect(state, name); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  return true;
}();

}  // namespace
