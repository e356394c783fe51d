// The chain effects (recipes of grey, invert, relief, blur and blend steps) run
// as a host runs them at 2048 x 2048 on one thread, and the steps they share,
// fast against reference. Times are the calling thread's CPU time, so other
// work on a loaded machine does not enter them.
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>
#include <vector>

#include "host_args.h"
#include "bench_pictures.h"
#include "effects/inhouse_library.h"
#include "imaging/parallel_bands.h"
#include "imaging/tone/saturation.h"
#include "tables/host_effect.h"

namespace {

constexpr int kEdge = 2048;

using bench::thread_seconds;

void BM_ChainEffect(benchmark::State& state, const char* name) { bench::time_effect_cpu(state, name, kEdge); }

#define CHAIN(label, name) \
  BENCHMARK_CAPTURE(BM_ChainEffect, label, name)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0)
CHAIN(outliner2, "Outliner 2");
CHAIN(outliner1, "Outliner 1");
CHAIN(pointillism, "Pointillism");
CHAIN(crayon, "Crayon");
CHAIN(colour_pencil, "Color Pencil");
CHAIN(edge3, "Edge3");
CHAIN(charcoal, "Charcoal");
CHAIN(glow, "Glow");
CHAIN(watercolour_and_ink, "Watercolor and Ink");
CHAIN(photo_detailer, "Photo Detailer");

// The shared steps alone on the varied picture, fast against reference.
template <bool Reference>
void BM_BasReliefStep(benchmark::State& state) {
  const std::vector<uint8_t> src = bench::varied_picture(kEdge);
  std::vector<uint8_t> dst = src;
  cvl::imaging::set_thread_count(1);
  bench::CpuClock clock(kEdge);
  for (auto _ : state) {
    cvl::InhouseParams p;
    p.p[0] = 0.3;
    p.option = int32_t(state.range(0));
    clock.start();
    const cvl::InhouseImages im{const_cast<uint8_t*>(src.data()), dst.data(), kEdge, kEdge, nullptr, nullptr};
    if (Reference) cvl::inhouse_bas_relief_reference(p, im);
    else cvl::inhouse_bas_relief(p, im);
    clock.stop(state);
  }
  cvl::imaging::set_thread_count(0);
  clock.report(state);
}
BENCHMARK_TEMPLATE(BM_BasReliefStep, false)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_BasReliefStep, true)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);

template <bool Reference>
void BM_SaturationStep(benchmark::State& state) {
  const std::vector<uint8_t> src = bench::varied_picture(kEdge);
  std::vector<uint8_t> px = src;
  cvl::imaging::set_thread_count(1);
  bench::CpuClock clock(kEdge);
  for (auto _ : state) {
    px = src;
    clock.start();
    const cvl::imaging::ImageView v{px.data(), kEdge, kEdge, 4, kEdge * 4};
    benchmark::DoNotOptimize(Reference ? cvl::imaging::modify_saturation_reference(v, 1.5)
                                       : cvl::imaging::modify_saturation(v, 1.5));
    clock.stop(state);
  }
  cvl::imaging::set_thread_count(0);
  clock.report(state);
}
BENCHMARK_TEMPLATE(BM_SaturationStep, false)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SaturationStep, true)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
