// Saving a 4096 x 4096 canvas as PNG, flattened and written a row at a time, beside
// libpng encoding the same flattened image directly from memory at the same
// compression level (6) and filters, in the same run. Both write to /dev/null so
// the disk is not measured; the difference is the per-row flattening and narrowing.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <vector>

#include "corvel/corvel.h"

namespace {

constexpr int kCanvas = 4096;

void set_rate(benchmark::State& state) {
  state.counters["pixels/s"] = benchmark::Counter(double(state.iterations()) * kCanvas * kCanvas,
                                                  benchmark::Counter::kIsRate);
}

// A canvas with content that compresses like artwork: a smooth background and a
// half-transparent layer of soft rings, so every row differs.
void paint_canvas() {
  CVL_SetRandomSeed(1);
  CVL_CreateImage(nullptr, kCanvas, kCanvas, 64, 0);
  CVL_CreateLayer(1, kCanvas, kCanvas);
  CVL_CreateLayer(2, kCanvas, kCanvas);
  std::vector<uint8_t> rgba(size_t(kCanvas) * kCanvas * 4);
  for (int y = 0; y < kCanvas; ++y)
    for (int x = 0; x < kCanvas; ++x) {
      uint8_t* p = &rgba[(size_t(y) * kCanvas + x) * 4];
      p[0] = uint8_t(x >> 4), p[1] = uint8_t(y >> 4), p[2] = uint8_t((x + y) >> 5), p[3] = 255;
    }
  CVL_LoadRGBA32Layer(rgba.data(), kCanvas * 4, 1, 0, 0, kCanvas, kCanvas, 0);
  for (int y = 0; y < kCanvas; ++y)
    for (int x = 0; x < kCanvas; ++x) {
      uint8_t* p = &rgba[(size_t(y) * kCanvas + x) * 4];
      const int dx = x - kCanvas / 2, dy = y - kCanvas / 3, ring = (dx * dx + dy * dy) >> 12;
      p[0] = uint8_t(ring * 3), p[1] = uint8_t(200 - ring), p[2] = uint8_t(ring * 7), p[3] = uint8_t(ring & 0xFF);
    }
  CVL_LoadRGBA32Layer(rgba.data(), kCanvas * 4, 2, 0, 0, kCanvas, kCanvas, 0);
  CVL_SetLayer(2);
}

void BM_SavePageToPng(benchmark::State& state) {
  paint_canvas();
  for (auto _ : state) CVL_SavePageToFileRGB32("/dev/null", ".png", 72);
  set_rate(state);
  CVL_DeleteImage();
}

// libpng alone on the flattened image, as a program holding it in memory would write it.
bool encode_png(const std::vector<uint8_t>& rgba, const char* path) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const auto fail = [&] {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  };
  if (!png || !info) return fail();
  if (setjmp(png_jmpbuf(png))) return fail();
  png_init_io(png, f);
  png_set_IHDR(png, info, kCanvas, kCanvas, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 6);
  png_write_info(png, info);
  for (int y = 0; y < kCanvas; ++y) png_write_row(png, rgba.data() + size_t(y) * kCanvas * 4);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  return true;
}

void BM_LibpngSameImage(benchmark::State& state) {
  paint_canvas();
  std::vector<uint16_t> wide(size_t(kCanvas) * kCanvas * 4);
  CVL_Merge(wide.data());
  CVL_DeleteImage();
  std::vector<uint8_t> rgba(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) rgba[i] = uint8_t(wide[i] >> 8);
  wide = {};
  for (auto _ : state)
    if (!encode_png(rgba, "/dev/null")) state.SkipWithError("libpng failed");
  set_rate(state);
}

BENCHMARK(BM_SavePageToPng)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LibpngSameImage)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
