// Halving a 4096 x 4096 RGBA picture with Lanczos3: the whole-canvas resize
// export (layer read, resample, layer rebuilt), the imaging library's resizer
// alone, and libvips' resize with the same kernel on one thread, in one run.
// Rates count source pixels.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench_pictures.h"
#include "corvel/corvel.h"
#include "core/engine.h"
#include "imaging/resample_separable.h"

#ifdef CORVEL_HAVE_VIPS
#include <vips/vips.h>
#endif

namespace {

constexpr int kEdge = 4096, kHalf = 2048;

// A painted-looking picture with soft edges, some texture and a transparent corner.
const std::vector<uint8_t>& picture() {
  static const std::vector<uint8_t> px = bench::rgba_picture(kEdge, [](int x, int y, uint8_t* q) {
    q[0] = uint8_t(x / 16), q[1] = uint8_t(y / 16), q[2] = uint8_t((x * 7 ^ y * 3) & 255);
    q[3] = (x < 512 && y < 512) ? uint8_t((x + y) / 4) : 255;
  });
  return px;
}

void rate(benchmark::State& state) {
  state.counters["in Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

void BM_IPLResizeLanczos3_4096To2048(benchmark::State& state) {
  CVL_DeleteImage();
  CVL_CreateImage(nullptr, kEdge, kEdge, 64, 0);
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
  rate(state);
}
BENCHMARK(BM_IPLResizeLanczos3_4096To2048)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ResampleLanczos3_4096To2048(benchmark::State& state) {
  auto& px = const_cast<std::vector<uint8_t>&>(picture());
  std::vector<uint8_t> out(size_t(kHalf) * kHalf * 4);
  const cvl::imaging::ImageView src{px.data(), kEdge, kEdge, 4, kEdge * 4};
  const cvl::imaging::ImageView dst{out.data(), kHalf, kHalf, 4, kHalf * 4};
  for (auto _ : state) benchmark::DoNotOptimize(cvl::imaging::resample(src, dst, cvl::imaging::ResampleMethod::Lanczos3));
  rate(state);
}
BENCHMARK(BM_ResampleLanczos3_4096To2048)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef CORVEL_HAVE_VIPS
// libvips on one worker thread, its operation cache off so that every
// iteration resamples; the result is written to memory to force the work.
void BM_VipsResizeLanczos3_4096To2048(benchmark::State& state) {
  static const bool started = [] {
    if (VIPS_INIT("corvel_bench")) return false;
    vips_concurrency_set(1);
    vips_cache_set_max(0);
    return true;
  }();
  if (!started) {
    state.SkipWithError("libvips did not start");
    return;
  }
  const auto& px = picture();
  for (auto _ : state) {
    VipsImage* in = vips_image_new_from_memory(px.data(), px.size(), kEdge, kEdge, 4, VIPS_FORMAT_UCHAR);
    VipsImage* out = nullptr;
    if (vips_resize(in, &out, 0.5, "kernel", VIPS_KERNEL_LANCZOS3, nullptr)) {
      state.SkipWithError(vips_error_buffer());
      g_object_unref(in);
      return;
    }
    size_t bytes = 0;
    void* mem = vips_image_write_to_memory(out, &bytes);
    if (bytes != size_t(kHalf) * kHalf * 4) state.SkipWithError("libvips gave another size");
    g_free(mem);
    g_object_unref(out);
    g_object_unref(in);
  }
  rate(state);
}
BENCHMARK(BM_VipsResizeLanczos3_4096To2048)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
