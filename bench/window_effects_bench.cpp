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
#include "host_args.h"
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

void time_effect(benchmark::State& state, const char* name) {
  const std::vector<uint16_t>& words = bench::varied_layer_words(kEdge, kSlot);
  const bench::HostArgs a = bench::host_args(name);
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
