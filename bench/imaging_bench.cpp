// PNG encoding of a 2048 x 2048 RGBA picture through our row writer, beside libpng
// driven directly with the same settings, in the same run; and decoding it back.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "bench_pictures.h"
#include "codecs/codec.h"
#include "codecs/encode.h"
#include "imaging/geometry/resample.h"

namespace {

constexpr int kEdge = 2048;

// A painted-looking picture: smooth gradients with some texture, so compression has work to do.
const std::vector<uint8_t>& picture() {
  static const std::vector<uint8_t> px = bench::rgba_picture(kEdge, [](int x, int y, uint8_t* q) {
    q[0] = uint8_t(x / 8), q[1] = uint8_t(y / 8), q[2] = uint8_t((x ^ y) & 63), q[3] = 255;
  });
  return px;
}

std::string scratch(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

void rate(benchmark::State& state) {
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
}

void BM_PngEncodeRows(benchmark::State& state) {
  const auto& px = picture();
  const std::string path = scratch("corvel_bench_rows.png");
  for (auto _ : state) {
    auto w = cvl::imaging::open_line_writer(cvl::imaging::LineFormat::Png, path.c_str(), kEdge, kEdge, 4);
    for (int y = 0; y < kEdge; ++y) w->write_row(&px[size_t(y) * kEdge * 4]);
    benchmark::DoNotOptimize(w->finish());
  }
  rate(state);
}
BENCHMARK(BM_PngEncodeRows)->Unit(benchmark::kMillisecond);

void BM_PngEncodeLibpngDirect(benchmark::State& state) {
  const auto& px = picture();
  const std::string path = scratch("corvel_bench_direct.png");
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) state.SkipWithError("libpng failed");
    png_init_io(png, f);
    png_set_IHDR(png, info, kEdge, kEdge, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    for (int y = 0; y < kEdge; ++y) png_write_row(png, const_cast<png_bytep>(&px[size_t(y) * kEdge * 4]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
  }
  rate(state);
}
BENCHMARK(BM_PngEncodeLibpngDirect)->Unit(benchmark::kMillisecond);

void BM_PngDecode(benchmark::State& state) {
  const std::string path = scratch("corvel_bench_decode.png");
  cvl::imaging::write_png(path.c_str(), {const_cast<uint8_t*>(picture().data()), kEdge, kEdge, 4, kEdge * 4});
  for (auto _ : state) {
    cvl::imaging::Image im;
    benchmark::DoNotOptimize(cvl::imaging::decode_file(path.c_str(), im));
  }
  rate(state);
}
BENCHMARK(BM_PngDecode)->Unit(benchmark::kMillisecond);

// Shrinking to three quarters; the rate counts source pixels.
void BM_ResizeBilinearThreeQuarters(benchmark::State& state) {
  auto& px = const_cast<std::vector<uint8_t>&>(picture());
  constexpr int kOut = kEdge * 3 / 4;
  std::vector<uint8_t> out(size_t(kOut) * kOut * 4);
  const cvl::imaging::ImageView src{px.data(), kEdge, kEdge, 4, kEdge * 4};
  const cvl::imaging::ImageView dst{out.data(), kOut, kOut, 4, kOut * 4};
  for (auto _ : state) cvl::imaging::resize_bilinear(src, dst);
  rate(state);
}
BENCHMARK(BM_ResizeBilinearThreeQuarters)->Unit(benchmark::kMillisecond);

}  // namespace
