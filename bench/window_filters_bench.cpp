// Box blur and median of a 4096 x 4096 RGBA picture at two radii, beside libvips
// (a separable box convolution and vips_median, one thread) in one run; the other
// blurs of the imaging library on the same picture, for their rates.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_pictures.h"
#include "imaging/filters/bilateral.h"
#include "imaging/filters/box_blur.h"
#include "imaging/filters/median_filter.h"
#include "imaging/filters/motion_blur.h"
#include "imaging/filters/path_blur.h"

#include "vips_peer.h"

namespace {

constexpr int kEdge = 4096;
using cvl::imaging::ImageView;

void rate(benchmark::State& state) {
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

// Runs op(src, dst) on the shared picture once per iteration.
template <class Op>
void run_ours(benchmark::State& state, Op op) {
  auto& px = const_cast<std::vector<uint8_t>&>(bench::painted_picture_4096());
  std::vector<uint8_t> out(px.size());
  const ImageView src{px.data(), kEdge, kEdge, 4, kEdge * 4}, dst{out.data(), kEdge, kEdge, 4, kEdge * 4};
  for (auto _ : state) benchmark::DoNotOptimize(op(src, dst));
  rate(state);
}

void BM_BoxBlur_4096(benchmark::State& state) {
  const int32_t r = int32_t(state.range(0));
  run_ours(state, [&](auto& s, auto& d) { return cvl::imaging::box_blur(s, d, r); });
}
BENCHMARK(BM_BoxBlur_4096)->Arg(2)->Arg(25)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Median_4096(benchmark::State& state) {
  const int32_t r = int32_t(state.range(0));
  run_ours(state, [&](auto& s, auto& d) { return cvl::imaging::median_filter(s, d, r); });
}
BENCHMARK(BM_Median_4096)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_MotionBlur_4096(benchmark::State& state) {
  run_ours(state, [&](auto& s, auto& d) { return cvl::imaging::motion_blur(s, d, 50, 30, 0.5); });
}
BENCHMARK(BM_MotionBlur_4096)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_SpinBlur_4096(benchmark::State& state) {
  run_ours(state, [&](auto& s, auto& d) { return cvl::imaging::spin_blur(s, d, 2048, 2048, 0.4); });
}
BENCHMARK(BM_SpinBlur_4096)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_Bilateral_4096(benchmark::State& state) {
  auto& px = bench::painted_picture_4096();
  std::vector<uint8_t> rgb(size_t(kEdge) * kEdge * 3), out(rgb.size());
  for (size_t i = 0, j = 0; i < px.size(); i += 4, j += 3) rgb[j] = px[i], rgb[j + 1] = px[i + 1], rgb[j + 2] = px[i + 2];
  const ImageView src{rgb.data(), kEdge, kEdge, 3, kEdge * 3}, dst{out.data(), kEdge, kEdge, 3, kEdge * 3};
  for (auto _ : state) benchmark::DoNotOptimize(cvl::imaging::bilateral_filter(src, dst, 10, 17));
  rate(state);
}
BENCHMARK(BM_Bilateral_4096)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

#ifdef CORVEL_HAVE_VIPS
// A box of radius r as libvips' separable convolution with a row of ones.
void BM_VipsBox_4096(benchmark::State& state) {
  const int size = 2 * int(state.range(0)) + 1;
  VipsImage* mask = vips_image_new_matrix(size, 1);
  for (int i = 0; i < size; ++i) *VIPS_MATRIX(mask, i, 0) = 1;
  vips_image_set_double(mask, "scale", size);
  bench::run_vips(state, bench::painted_picture_4096(), kEdge, bench::painted_picture_4096().size(),
                  [&](VipsImage* in, VipsImage** out) {
                    VipsImage* wide = nullptr;
                    if (vips_convsep(in, &wide, mask, "precision", VIPS_PRECISION_INTEGER, nullptr)) return -1;
                    const int rc = vips_cast_uchar(wide, out, nullptr);
                    g_object_unref(wide);
                    return rc;
                  });
  g_object_unref(mask);
  rate(state);
}
BENCHMARK(BM_VipsBox_4096)->Arg(2)->Arg(25)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VipsMedian_4096(benchmark::State& state) {
  const int size = 2 * int(state.range(0)) + 1;
  bench::run_vips(state, bench::painted_picture_4096(), kEdge, bench::painted_picture_4096().size(),
                  [&](VipsImage* in, VipsImage** out) { return vips_median(in, out, size, nullptr); });
  rate(state);
}
BENCHMARK(BM_VipsMedian_4096)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
#endif

}  // namespace
