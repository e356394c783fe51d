// Tone curves, histogram equalization, additive noise and Canny edges on a
// 4096 x 4096 picture, each beside its libvips counterpart on one thread in the
// same run; emboss alone (libvips has no lit emboss).
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_pictures.h"
#include "imaging/filters/canny.h"
#include "imaging/filters/emboss.h"
#include "imaging/tone/grey.h"
#include "imaging/tone/histogram.h"
#include "imaging/artistic/add_noise.h"
#include "imaging/tone/tone_curves.h"
#include "vips_peer.h"

namespace {

constexpr int kEdge = 4096;
constexpr size_t kPixels = size_t(kEdge) * kEdge;

void rate(benchmark::State& state) {
  state.counters["Mpix/s"] = benchmark::Counter(double(state.iterations()) * kPixels / 1e6, benchmark::Counter::kIsRate);
}

// A working copy that the in-place operations change on every iteration (their
// cost does not depend on the values).
std::vector<uint8_t> working() { return bench::painted_picture_4096(); }
cvl::imaging::ImageView view(std::vector<uint8_t>& px) { return {px.data(), kEdge, kEdge, 4, kEdge * 4}; }

const std::vector<uint8_t>& grey_picture() {
  static const std::vector<uint8_t> grey = [] {
    std::vector<uint8_t> px = working(), g(kPixels);
    cvl::imaging::image_to_grey(view(px), g.data(), kEdge);
    return g;
  }();
  return grey;
}

void BM_Gamma_4096(benchmark::State& state) {
  std::vector<uint8_t> px = working();
  for (auto _ : state) benchmark::DoNotOptimize(cvl::imaging::adjust_gamma(view(px), 1.6, 15));
  rate(state);
}
BENCHMARK(BM_Gamma_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HistogramEqualizePerChannel_4096(benchmark::State& state) {
  std::vector<uint8_t> px = working();
  for (auto _ : state)
    benchmark::DoNotOptimize(
        cvl::imaging::histogram_equalize(view(px), 0, 255, cvl::imaging::HistogramBasis::PerChannel));
  rate(state);
}
BENCHMARK(BM_HistogramEqualizePerChannel_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AddGaussianNoiseMono_4096(benchmark::State& state) {
  std::vector<uint8_t> px = working();
  uint32_t seed = 1;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        cvl::imaging::add_noise(view(px), cvl::imaging::NoiseDistribution::Gaussian, 10, true, 7, seed++));
  rate(state);
}
BENCHMARK(BM_AddGaussianNoiseMono_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Canny_4096(benchmark::State& state) {
  std::vector<uint8_t> out(kPixels);
  for (auto _ : state)
    benchmark::DoNotOptimize(
        cvl::imaging::canny_edges(grey_picture().data(), kEdge, kEdge, kEdge, {1.4, 10, 30}, out.data(), kEdge));
  rate(state);
}
BENCHMARK(BM_Canny_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Emboss_4096(benchmark::State& state) {
  std::vector<uint8_t> px = working(), out(px.size());
  const cvl::imaging::ImageView dst{out.data(), kEdge, kEdge, 4, kEdge * 4};
  for (auto _ : state)
    benchmark::DoNotOptimize(cvl::imaging::emboss(grey_picture().data(), kEdge, view(px), dst, 2.3, 0.8, 25));
  rate(state);
}
BENCHMARK(BM_Emboss_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef CORVEL_HAVE_VIPS
void BM_VipsGamma_4096(benchmark::State& state) {
  bench::run_vips(state, bench::painted_picture_4096(), kEdge, kPixels * 4, [](VipsImage* in, VipsImage** out) {
    return vips_gamma(in, out, "exponent", 1 / 1.6, nullptr);
  });
  rate(state);
}
BENCHMARK(BM_VipsGamma_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VipsHistEqual_4096(benchmark::State& state) {
  bench::run_vips(state, bench::painted_picture_4096(), kEdge, kPixels * 4,
                  [](VipsImage* in, VipsImage** out) { return vips_hist_equal(in, out, nullptr); });
  rate(state);
}
BENCHMARK(BM_VipsHistEqual_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// One noise plane added to every band, as our monochrome grain.
void BM_VipsGaussNoiseAdd_4096(benchmark::State& state) {
  bench::run_vips(state, bench::painted_picture_4096(), kEdge, kPixels * 4, [](VipsImage* in, VipsImage** out) {
    VipsImage *noise = nullptr, *sum = nullptr;
    int failed = vips_gaussnoise(&noise, kEdge, kEdge, "sigma", 10.0, "mean", 0.0, nullptr);
    if (!failed) failed = vips_add(in, noise, &sum, nullptr);
    if (!failed) failed = vips_cast_uchar(sum, out, nullptr);
    if (noise) g_object_unref(noise);
    if (sum) g_object_unref(sum);
    return failed;
  });
  rate(state);
}
BENCHMARK(BM_VipsGaussNoiseAdd_4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// libvips' Canny stops after thinning (no hysteresis); cast to bytes as ours.
void BM_VipsCanny_4096(benchmark::State& state) {
  bench::run_vips(
      state, grey_picture(), kEdge, kPixels,
      [](VipsImage* in, VipsImage** out) {
        VipsImage* edges = nullptr;
        int failed = vips_canny(in, &edges, "sigma", 1.4, nullptr);
        if (!failed) failed = vips_cast_uchar(edges, out, nullptr);
        if (edges) g_object_unref(edges);
        return failed;
      },
      1);
  rate(state);
}
BENCHMARK(BM_VipsCanny_4096)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
