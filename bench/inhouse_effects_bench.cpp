// The in-house smoothing effects on a 4096 x 4096 canvas, run through their
// entry as the dispatcher runs them. "Value Blur" is eight propagating sweeps,
// so its per-sweep rate is eight times the whole effect's; "Grayscale", one
// plain pass, is the yardstick of a per-pixel loop over the same buffers.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_pictures.h"
#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/tool_settings.h"
#include "effects/inhouse_effects.h"
#include "layers/ipl_images.h"

namespace {

constexpr int kEdge = 4096;

// A canvas whose IPL source holds a noisy gradient, so the passes' tests fire
// on some pixels and not others.
void prepare() {
  static bool ready = false;
  if (ready) return;
  CVL_CreateImage(nullptr, kEdge, kEdge, 32, 0);
  cvl::ipl_alloc(cvl::engine(), cvl::IplBuffer::Src32);
  cvl::ipl_alloc(cvl::engine(), cvl::IplBuffer::Dst32);
  const std::vector<uint8_t> px = bench::rgba_picture(kEdge, [](int x, int y, uint8_t* q) {
    const int noise = ((x * 7919) ^ (y * 104729)) & 15;
    q[0] = uint8_t(x / 16 + noise), q[1] = uint8_t(y / 16 + noise), q[2] = uint8_t((x + y) / 32), q[3] = 255;
  });
  cvl::ipl_set(cvl::engine(), cvl::IplBuffer::Src32, px.data());
  ready = true;
}

void run_effect(benchmark::State& state, const char* name, std::initializer_list<int> sliders, double passes) {
  prepare();
  cvl::InhouseArgs args;
  int i = 0;
  for (int s : sliders) args.s[i++] = s;
  for (auto _ : state) benchmark::DoNotOptimize(cvl::inhouse_entry(cvl::engine(), cvl::tool(), name, 0, args));
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
  state.counters["Mpix/s per pass"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge * passes / 1e6, benchmark::Counter::kIsRate);
}

void BM_InhouseValueBlur(benchmark::State& state) { run_effect(state, "Value Blur", {500, 500}, 8); }
void BM_InhouseDetailBlur(benchmark::State& state) { run_effect(state, "Detail Blur", {50}, 1); }
void BM_InhouseGrayscale(benchmark::State& state) { run_effect(state, "Grayscale", {}, 1); }

BENCHMARK(BM_InhouseValueBlur)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InhouseDetailBlur)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InhouseGrayscale)->Unit(benchmark::kMillisecond);

}  // namespace
