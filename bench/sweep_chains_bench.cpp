// The effects built on the in-house smoothing sweeps, scribble, bas relief and
// hyper contrast, run as a host runs them at 2048 x 2048 on one thread, and the
// steps they share, fast against their plain twins. Times are the calling
// thread's CPU time, so other work on a loaded machine does not enter them.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_pictures.h"
#include "effects/inhouse_library.h"
#include "effects/inhouse_sweep_lanes.h"
#include "host_args.h"
#include "imaging/artistic/scribble.h"
#include "imaging/parallel_bands.h"
#include "tables/host_effect.h"

namespace {

constexpr int kEdge = 2048;

void BM_SweepChain(benchmark::State& state, const char* name) { bench::time_effect_cpu(state, name, kEdge); }

#define SWEEP_CHAIN(label, name) \
  BENCHMARK_CAPTURE(BM_SweepChain, label, name)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5)
SWEEP_CHAIN(watercolour_and_ink, "Watercolor and Ink");
SWEEP_CHAIN(photo_detailer, "Photo Detailer");
SWEEP_CHAIN(pointillism, "Pointillism");
SWEEP_CHAIN(outliner2, "Outliner 2");
SWEEP_CHAIN(crayon, "Crayon");
SWEEP_CHAIN(charcoal, "Charcoal");
SWEEP_CHAIN(colour_pencil, "Color Pencil");
SWEEP_CHAIN(photo_pop, "Photo Pop");
SWEEP_CHAIN(edge3, "Edge3");
SWEEP_CHAIN(outliner1, "Outliner 1");
SWEEP_CHAIN(glow, "Glow");
SWEEP_CHAIN(value_blur, "Value Blur");
SWEEP_CHAIN(smart_blur, "Smart Blur");
SWEEP_CHAIN(noise_reduction, "Noise Reduction");
SWEEP_CHAIN(noise_reduction_rgb, "Noise Reduction RGB");
SWEEP_CHAIN(anti_alias, "Anti Alias");
SWEEP_CHAIN(scribble, "Scribble");

// One in-house step on the varied picture: 0 the lanes (or the fast form), 1
// the banded table passes, 2 the plain twin.
using Step = void (*)(cvl::InhouseParams&, const cvl::InhouseImages&);
void run_step(benchmark::State& state, Step fast, Step reference, const double (&sliders)[6]) {
  const std::vector<uint8_t> src = bench::varied_picture(kEdge);
  std::vector<uint8_t> dst(src.size());
  const int form = int(state.range(0));
  cvl::imaging::set_thread_count(1);
  cvl::inhouse_sweeps::use_portable_sweeps(form == 1);
  bench::CpuClock clock(kEdge);
  for (auto _ : state) {
    dst = src;
    cvl::InhouseParams p;
    for (int i = 0; i < 6; ++i) p.p[i] = sliders[i];
    p.copy = 1;
    clock.start();
    const cvl::InhouseImages im{const_cast<uint8_t*>(src.data()), dst.data(), kEdge, kEdge, nullptr, nullptr};
    (form == 2 ? reference : fast)(p, im);
    clock.stop(state);
  }
  cvl::inhouse_sweeps::use_portable_sweeps(false);
  cvl::imaging::set_thread_count(0);
  clock.report(state);
}

void BM_ValueBlurStep(benchmark::State& state) {
  run_step(state, cvl::inhouse_value_blur, cvl::inhouse_value_blur_reference, {0.5, 0.5, 0, 0, 0, 0});
}
// Weights with no whole-number form: the lanes blend in doubles.
void BM_ValueBlurStepDoubles(benchmark::State& state) {
  run_step(state, cvl::inhouse_value_blur, cvl::inhouse_value_blur_reference, {0.3, 0.7, 0, 0, 0, 0});
}
void BM_NoiseReductionStep(benchmark::State& state) {
  run_step(state, cvl::inhouse_noise_reduction, cvl::inhouse_noise_reduction_reference, {0.5, 0.5, 0, 0, 0, 0});
}
void BM_NoiseReductionRgbStep(benchmark::State& state) {
  run_step(state, cvl::inhouse_noise_reduction_rgb, cvl::inhouse_noise_reduction_rgb_reference,
           {0.5, 0.5, 0.5, 0.5, 0.5, 0.5});
}
void BM_AntiAliasStep(benchmark::State& state) {
  run_step(state, cvl::inhouse_anti_alias, cvl::inhouse_anti_alias_reference, {0.5, 0.5, 0.5, 0.5, 0, 0});
}
void BM_HyperContrastStep(benchmark::State& state) {
  run_step(state, cvl::inhouse_hyper_contrast, cvl::inhouse_hyper_contrast_reference, {0.5, 0, 0, 0, 0, 0});
}
BENCHMARK(BM_HyperContrastStep)->Arg(0)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AntiAliasStep)->Arg(0)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValueBlurStep)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ValueBlurStepDoubles)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoiseReductionStep)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoiseReductionRgbStep)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
