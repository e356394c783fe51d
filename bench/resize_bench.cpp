// Halving a 4096 x 4096 RGBA picture with Lanczos3: the whole-canvas resize
// export (layer read, resample, layer rebuilt), the imaging library's resizer
// alone, and libvips' resize with the same kernel, in one run: each on one
// thread, and again (the _AllThreads rows) with ours at CVL_SetThreadCount(0) and
// libvips at the threads it picks itself. Rates count source pixels.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench_pictures.h"
#include "corvel/corvel.h"
#include "core/engine.h"
#include "imaging/geometry/resample_separable.h"

#include "vips_peer.h"

namespace {

constexpr int kEdge = 4096, kHalf = 2048;

const std::vector<uint8_t>& picture() { return bench::painted_picture_4096(); }

void rate(benchmark::State& state) {
  state.counters["in Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

// `threads` as CVL_SetThreadCount takes it; the default is restored afterwards.
void resize_export(benchmark::State& state, int threads) {
  CVL_DeleteImage();
  CVL_CreateImage(nullptr, kEdge, kEdge, 64, 0);
  CVL_SetThreadCount(threads);
  state.counters["threads"] = CVL_GetThreadCount();
  const auto& px = picture();
  for (auto _ : state) {
    state.PauseTiming();
    CVL_CreateLayer(1, kEdge, kEdge);
    CVL_LoadRGBA32Layer(px.data(), kEdge * 4, 1, 0, 0, kEdge, kEdge, 0);
    state.ResumeTiming();
    CVL_IPLResize(kHalf, kHalf, "Lanczos3");
  }
  if (cvl::engine().slot(1).width != kHalf) state.SkipWithError("layer was not resized");
  CVL_DeleteImage();
  CVL_SetThreadCount(0);
  rate(state);
}

void resample_alone(benchmark::State& state, int threads) {
  auto& px = const_cast<std::vector<uint8_t>&>(picture());
  std::vector<uint8_t> out(size_t(kHalf) * kHalf * 4);
  const cvl::imaging::ImageView src{px.data(), kEdge, kEdge, 4, kEdge * 4};
  const cvl::imaging::ImageView dst{out.data(), kHalf, kHalf, 4, kHalf * 4};
  CVL_SetThreadCount(threads);
  state.counters["threads"] = CVL_GetThreadCount();
  for (auto _ : state)
    benchmark::DoNotOptimize(cvl::imaging::resample(src, dst, cvl::imaging::ResampleMethod::Lanczos3));
  CVL_SetThreadCount(0);
  rate(state);
}

void BM_IPLResizeLanczos3_4096To2048(benchmark::State& state) { resize_export(state, 1); }
void BM_IPLResizeLanczos3_4096To2048_AllThreads(benchmark::State& state) { resize_export(state, 0); }
BENCHMARK(BM_IPLResizeLanczos3_4096To2048)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IPLResizeLanczos3_4096To2048_AllThreads)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ResampleLanczos3_4096To2048(benchmark::State& state) { resample_alone(state, 1); }
void BM_ResampleLanczos3_4096To2048_AllThreads(benchmark::State& state) { resample_alone(state, 0); }
BENCHMARK(BM_ResampleLanczos3_4096To2048)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResampleLanczos3_4096To2048_AllThreads)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef CORVEL_HAVE_VIPS
// libvips halving with the same kernel, run as every peer is (vips_peer.h).
auto vips_halve = [](VipsImage* in, VipsImage** out) {
  return vips_resize(in, out, 0.5, "kernel", VIPS_KERNEL_LANCZOS3, nullptr);
};

void BM_VipsResizeLanczos3_4096To2048(benchmark::State& state) {
  bench::run_vips(state, picture(), kEdge, size_t(kHalf) * kHalf * 4, vips_halve);
  state.counters["threads"] = 1;
  rate(state);
}
BENCHMARK(BM_VipsResizeLanczos3_4096To2048)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VipsResizeLanczos3_4096To2048_AllThreads(benchmark::State& state) {
  bench::run_vips_all_threads(state, picture(), kEdge, size_t(kHalf) * kHalf * 4, vips_halve);
  rate(state);
}
BENCHMARK(BM_VipsResizeLanczos3_4096To2048_AllThreads)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
