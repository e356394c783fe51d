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

// Mpix/s over the thread's CPU time (Google Benchmark's rate counters divide
// by process time, which other threads fill).
class CpuClock {
 public:
  void start() { start_ = thread_seconds(); }
  void stop(benchmark::State& state) {
    const double t = thread_seconds() - start_;
    total_ += t;
    state.SetIterationTime(t);
  }
  void report(benchmark::State& state) const {
    if (total_ > 0) state.counters["Mpix/s"] = double(state.iterations()) * kEdge * kEdge / 1e6 / total_;
  }

 private:
  double start_ = 0, total_ = 0;
};

int effect_index(const char* name) {
  for (int i = 0;; ++i) {
    const char *frame = nullptr, *reads = nullptr;
    const char* n = CVL_IPLEffectInfo(i, &frame, &reads);
    if (!n) return -1;
    if (std::string(n) == name) return i;
  }
}

void BM_ChainEffect(benchmark::State& state, const char* name) {
  const int index = effect_index(name);
  if (index < 0) {
    state.SkipWithError("no such effect");
    return;
  }
  const char *frame = nullptr, *reads = nullptr;
  CVL_IPLEffectInfo(index, &frame, &reads);
  const bench::HostEffect e = bench::describe_effect(index, name, frame);
  bench::EffectCanvas& canvas = bench::effect_canvas();
  canvas.use(kEdge);
  CVL_SetThreadCount(1);
  CpuClock clock;
  for (auto _ : state) {
    canvas.restore();
    CVL_SetRandomSeed(1);
    clock.start();
    CVL_SetLayer(bench::kEffectSlot);
    CVL_IPLAllocSrcBuffer32();
    CVL_IPLAllocDstBuffer32();
    benchmark::DoNotOptimize(CVL_IPLImageProcess(0, e.name.c_str(), e.i1, e.s[0], e.s[1], e.s[2], e.s[3], e.s[4],
                                                 e.s[5], e.option, e.i2, e.f[0], e.f[1], e.f[2], e.f[3], e.f[4], e.f[5],
                                                 e.r, e.g, e.b, e.text.c_str()));
    CVL_IPLFreeSrcBuffer32();
    CVL_IPLFreeDstBuffer32();
    clock.stop(state);
  }
  CVL_SetThreadCount(0);
  clock.report(state);
}

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
  CpuClock clock;
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
  CpuClock clock;
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
