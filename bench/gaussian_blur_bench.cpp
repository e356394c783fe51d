// Gaussian blur of a 4096 x 4096 RGBA picture at sigma 5 and 20: the imaging
// library's recursive filter beside libvips' gaussblur on one thread, in one run.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_pictures.h"
#include "imaging/gaussian_blur.h"

#ifdef CORVEL_HAVE_VIPS
#include <vips/vips.h>
#endif

namespace {

constexpr int kEdge = 4096;

const std::vector<uint8_t>& picture() {
  static const std::vector<uint8_t> px = bench::rgba_picture(kEdge, [](int x, int y, uint8_t* q) {
    q[0] = uint8_t(x / 16), q[1] = uint8_t(y / 16), q[2] = uint8_t((x * 7 ^ y * 3) & 255);
    q[3] = (x < 512 && y < 512) ? uint8_t((x + y) / 4) : 255;
  });
  return px;
}

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
// One worker thread and no operation cache, so every iteration blurs; the
// result is written to memory to force the work.
void BM_VipsGaussblur_4096(benchmark::State& state) {
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
    if (vips_gaussblur(in, &out, double(state.range(0)), nullptr)) {
      state.SkipWithError(vips_error_buffer());
      g_object_unref(in);
      return;
    }
    size_t bytes = 0;
    void* mem = vips_image_write_to_memory(out, &bytes);
    if (bytes != px.size()) state.SkipWithError("libvips gave another size");
    g_free(mem);
    g_object_unref(out);
    g_object_unref(in);
  }
  rate(state);
}
BENCHMARK(BM_VipsGaussblur_4096)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
