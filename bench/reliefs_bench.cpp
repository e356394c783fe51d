// Blurs, reliefs and sharpening at 2048 x 2048 on one thread: the library calls
// fast against their plain twins in the same run, and the effects as a host runs
// them (sliders mid-range). Rates come from the thread's CPU time, so other work
// on the machine does not count against them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench_pictures.h"
#include "imaging/filters/path_blur.h"
#include "imaging/filters/path_blur_reference.h"
#include "imaging/parallel_bands.h"
#include "tables/host_effect.h"

namespace {

constexpr int kEdge = 2048;
using cvl::imaging::ImageView;

void rate(benchmark::State& state) {
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

// The host's middle slider: a spread of 45 degrees about the centre.
template <bool Reference>
void BM_SpinBlurLibrary(benchmark::State& state) {
  static const std::vector<uint8_t> src = bench::varied_picture(kEdge);
  std::vector<uint8_t> dst(src.size());
  const ImageView s{const_cast<uint8_t*>(src.data()), kEdge, kEdge, 4, kEdge * 4};
  const ImageView d{dst.data(), kEdge, kEdge, 4, kEdge * 4};
  const double c = (kEdge - 1) * 0.5, angle = 3.14159265358979 / 4;
  cvl::imaging::set_thread_count(1);
  for (auto _ : state)
    benchmark::DoNotOptimize(Reference ? cvl::imaging::spin_blur_reference(s, d, c, c, angle)
                                       : cvl::imaging::spin_blur(s, d, c, c, angle));
  cvl::imaging::set_thread_count(0);
  rate(state);
}
BENCHMARK_TEMPLATE(BM_SpinBlurLibrary, false)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SpinBlurLibrary, true)->Unit(benchmark::kMillisecond);

// The effects as a host runs them, one thread.
void BM_SpeedReliefs(benchmark::State& state, const char* name) {
  for (const bench::HostEffect& e : bench::every_effect())
    if (e.name == name) return bench::time_effect(state, e, kEdge, 1);
  state.SkipWithError("no such effect");
}
BENCHMARK_CAPTURE(BM_SpeedReliefs, RadialBlur, "Radial Blur")->Unit(benchmark::kMillisecond);

}  // namespace
