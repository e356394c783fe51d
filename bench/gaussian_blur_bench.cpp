// Gaussian blur of a 4096 x 4096 RGBA picture at sigma 5 and 20: the imaging
// library's recursive filter beside libvips' gaussblur, in one run: both on one
// thread, and again (the _AllThreads rows) with ours at CVL_SetThreadCount(0) and
// libvips at the threads it picks itself.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_pictures.h"
#include "corvel/corvel.h"
#include "imaging/filters/gaussian_blur.h"

#include "vips_peer.h"

namespace {

constexpr int kEdge = 4096;

const std::vector<uint8_t>& picture() { return bench::painted_picture_4096(); }

void rate(benchmark::State& state) {
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

// `threads` as CVL_SetThreadCount takes it; the default is restored afterwards.
void blur(benchmark::State& state, int threads) {
  const float sigma = float(state.range(0));
  auto& px = const_cast<std::vector<uint8_t>&>(picture());
  std::vector<uint8_t> out(px.size());
  const cvl::imaging::ImageView src{px.data(), kEdge, kEdge, 4, kEdge * 4};
  const cvl::imaging::ImageView dst{out.data(), kEdge, kEdge, 4, kEdge * 4};
  CVL_SetThreadCount(threads);
  state.counters["threads"] = CVL_GetThreadCount();
  for (auto _ : state) benchmark::DoNotOptimize(cvl::imaging::gaussian_blur(src, dst, sigma));
  CVL_SetThreadCount(0);
  rate(state);
}

void BM_GaussianBlur_4096(benchmark::State& state) { blur(state, 1); }
void BM_GaussianBlur_4096_AllThreads(benchmark::State& state) { blur(state, 0); }
BENCHMARK(BM_GaussianBlur_4096)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GaussianBlur_4096_AllThreads)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef CORVEL_HAVE_VIPS
// libvips blurring the same picture, run as every peer is (vips_peer.h).
void BM_VipsGaussblur_4096(benchmark::State& state) {
  bench::run_vips(state, picture(), kEdge, picture().size(), [&](VipsImage* in, VipsImage** out) {
    return vips_gaussblur(in, out, double(state.range(0)), nullptr);
  });
  state.counters["threads"] = 1;
  rate(state);
}
BENCHMARK(BM_VipsGaussblur_4096)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VipsGaussblur_4096_AllThreads(benchmark::State& state) {
  bench::run_vips_all_threads(state, picture(), kEdge, picture().size(), [&](VipsImage* in, VipsImage** out) {
    return vips_gaussblur(in, out, double(state.range(0)), nullptr);
  });
  rate(state);
}
BENCHMARK(BM_VipsGaussblur_4096_AllThreads)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
