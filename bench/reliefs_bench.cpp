// Blurs, reliefs and sharpening at 2048 x 2048 on one thread: the library calls
// fast against their plain twins in the same run, and the effects as a host runs
// them (sliders mid-range). Rates come from the thread's CPU time, so other work
// on the machine does not count against them.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench_pictures.h"
#include "imaging/filters/box_blur.h"
#include "imaging/filters/emboss.h"
#include "imaging/filters/gaussian_blur.h"
#include "imaging/filters/path_blur.h"
#include "imaging/filters/path_blur_reference.h"
#include "imaging/filters/window_filters_reference.h"
#include "imaging/filters/window_means.h"
#include "imaging/parallel_bands.h"
#include "tables/host_effect.h"

namespace {

constexpr int kEdge = 2048;
using cvl::imaging::ImageView;

void rate(benchmark::State& state) {
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

// Times run(src, dst) over the varied picture in `channels` bytes a pixel, on one thread.
template <class Run>
void time_library(benchmark::State& state, int channels, Run run) {
  static const std::vector<uint8_t> rgba = bench::varied_picture(kEdge);
  const size_t pixels = size_t(kEdge) * kEdge;
  std::vector<uint8_t> src(pixels * size_t(channels)), dst(src.size());
  for (size_t i = 0; i < pixels; ++i)
    for (size_t c = 0; c < size_t(channels); ++c) src[i * size_t(channels) + c] = rgba[i * 4 + c];
  const ImageView s{src.data(), kEdge, kEdge, channels, kEdge * channels};
  const ImageView d{dst.data(), kEdge, kEdge, channels, kEdge * channels};
  cvl::imaging::set_thread_count(1);
  for (auto _ : state) benchmark::DoNotOptimize(run(s, d));
  cvl::imaging::set_thread_count(0);
  rate(state);
}

// The host's middle slider: a spread of 45 degrees about the centre.
template <bool Reference>
void BM_SpinBlurLibrary(benchmark::State& state) {
  const double c = (kEdge - 1) * 0.5, angle = 3.14159265358979 / 4;
  time_library(state, 4, [&](const ImageView& s, const ImageView& d) {
    return Reference ? cvl::imaging::spin_blur_reference(s, d, c, c, angle) : cvl::imaging::spin_blur(s, d, c, c, angle);
  });
}
BENCHMARK_TEMPLATE(BM_SpinBlurLibrary, false)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SpinBlurLibrary, true)->Unit(benchmark::kMillisecond);

// Lit by its own grey from the host's middle sliders (azimuth 180 degrees, 90 high, depth 25) on RGB24.
template <bool Reference>
void BM_EmbossLibrary(benchmark::State& state) {
  static const std::vector<uint8_t> grey = [] {
    const std::vector<uint8_t> rgba = bench::varied_picture(kEdge);
    std::vector<uint8_t> g(size_t(kEdge) * kEdge);
    for (size_t i = 0; i < g.size(); ++i)
      g[i] = uint8_t((rgba[i * 4] * 77 + rgba[i * 4 + 1] * 151 + rgba[i * 4 + 2] * 28) >> 8);
    return g;
  }();
  time_library(state, 3, [&](const ImageView& s, const ImageView& d) {
    return Reference ? cvl::imaging::emboss_reference(grey.data(), kEdge, s, d, 3.14, 0.785, 25)
                     : cvl::imaging::emboss(grey.data(), kEdge, s, d, 3.14, 0.785, 25);
  });
}
BENCHMARK_TEMPLATE(BM_EmbossLibrary, false)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_EmbossLibrary, true)->Unit(benchmark::kMillisecond);

// Blur More's three passes of radius 10 on RGBA.
template <bool Reference>
void BM_BoxBlurLibrary(benchmark::State& state) {
  time_library(state, 4, [](const ImageView& s, const ImageView& d) {
    return Reference ? cvl::imaging::box_blur_reference(s, d, 10, 3) : cvl::imaging::box_blur(s, d, 10, 3);
  });
}
BENCHMARK_TEMPLATE(BM_BoxBlurLibrary, false)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_BoxBlurLibrary, true)->Unit(benchmark::kMillisecond);

// The recursive Gaussian of Unsharp Mask and Gausy on RGB24, sigma 5.5.
template <bool Reference>
void BM_GaussianLibrary(benchmark::State& state) {
  time_library(state, 3, [](const ImageView& s, const ImageView& d) {
    return Reference ? cvl::imaging::gaussian_blur_reference(s, d, 5.5f) : cvl::imaging::gaussian_blur(s, d, 5.5f);
  });
}
BENCHMARK_TEMPLATE(BM_GaussianLibrary, false)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_GaussianLibrary, true)->Unit(benchmark::kMillisecond);

// The harmonic mean over a radius-5 window on RGBA.
template <bool Reference>
void BM_HarmonicMeanLibrary(benchmark::State& state) {
  time_library(state, 4, [](const ImageView& s, const ImageView& d) {
    return Reference ? cvl::imaging::harmonic_mean_reference(s, d, 5) : cvl::imaging::harmonic_mean(s, d, 5);
  });
}
BENCHMARK_TEMPLATE(BM_HarmonicMeanLibrary, false)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_HarmonicMeanLibrary, true)->Unit(benchmark::kMillisecond);

// The effects as a host runs them, one thread.
void BM_SpeedReliefs(benchmark::State& state, const char* name) {
  for (const bench::HostEffect& e : bench::every_effect())
    if (e.name == name) return bench::time_effect(state, e, kEdge, 1);
  state.SkipWithError("no such effect");
}
BENCHMARK_CAPTURE(BM_SpeedReliefs, RadialBlur, "Radial Blur")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, Blur, "Blur")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, BlurMore, "Blur More")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, MotionBlur, "Motion Blur")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, HarmonicMean, "Harmonic Mean")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, Sharpen, "Sharpen")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, SharpenMore, "Sharpen More")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, UnsharpMask, "Unsharp Mask")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, Gausy, "Gausy")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, Emboss, "Emboss")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, TexturizeEmbossUtility, "Texturize Emboss Utility")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, TexturizeBumpUtility, "Texturize Bump Utility")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, Emboss2, "Emboss2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, Emboss3, "Emboss3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, AdaptiveBlur, "Adaptive Blur")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, Maximum2, "Maximum2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, Minimum2, "Minimum2")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, HugoNoise, "Hugo Noise")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, Fingerprint, "Fingerprint")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SpeedReliefs, Stipple, "Stipple")->Unit(benchmark::kMillisecond);

}  // namespace
