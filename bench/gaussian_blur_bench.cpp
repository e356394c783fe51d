// Gaussian blur of a 4096 x 4096 RGBA picture at sigma 5 and 20: the imaging
// library's recursive filter beside libvips' gaussblur on one thread, in one run.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_pictures.h"
#include "imaging/filters/gaussian_blur.h"

#include "vips_peer.h"

namespace {

constexpr int kEdge = 4096;

const std::vector<uint8_t>& picture() { return bench::painted_picture_4096(); }

void rate(benchmark::State& state) {
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

void BM_GaussianBlur_4096(benchmark::State& state) {
  const float sigma = float(state.range(0));
  auto& px = const_cast<std::vector<uint8_t>&>(picture());
  std::vector<uint8_t> out(px.size());
  const cvl::imaging::ImageView src{px.data(), kEdge, kEdge, 4, kEdge * 4};
  const cvl::imaging::ImageView dst{out.data(), kEdge, kEdge, 4, kEdge * 4};
  for (auto _ : state) benchmark::DoNotOptimize(cvl::imaging::gaussian_blur(src, dst, sigma));
  rate(state);
}
BENCHMARK(BM_GaussianBlur_4096)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef CORVEL_HAVE_VIPS
// libvips blurring the same picture, run as every peer is (vips_peer.h).
void BM_VipsGaussblur_4096(benchmark::State& state) {
  bench::run_vips(state, picture(), kEdge, picture().size(), [&](VipsImage* in, VipsImage** out) {
    return vips_gaussblur(in, out, double(state.range(0)), nullptr);
  });
  rate(state);
}
BENCHMARK(BM_VipsGaussblur_4096)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
