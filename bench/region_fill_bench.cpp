// The region fill over a 4096 x 4096 spiral maze (one corridor winding through
// most of the canvas), beside a memcpy of the same picture's bytes in the same
// run: a scanline fill should touch each pixel a small constant number of times.
// The range argument is the corridor width.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "draw/region_fill.h"
#include "support/spiral_maze.h"

namespace {

constexpr int kEdge = 4096;
constexpr uint8_t kOpenA[4] = {10, 20, 30, 255}, kOpenB[4] = {40, 50, 60, 255}, kWall[4] = {0, 0, 0, 255};

void set_rate(benchmark::State& state, double pixels_per_iteration) {
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * pixels_per_iteration / 1e6, benchmark::Counter::kIsRate);
}

// Refills the corridor from its mouth, alternating between two colours so every
// iteration does the same work on the picture the last one left.
void BM_FloodFillSpiralMaze(benchmark::State& state) {
  std::vector<uint8_t> px = cvl::test::spiral_maze(kEdge, int32_t(state.range(0)), kOpenA, kWall);
  const cvl::imaging::ImageView view{px.data(), kEdge, kEdge, 4, kEdge * 4};
  const cvl::imaging::Colour a{kOpenA[0], kOpenA[1], kOpenA[2], 255}, b{kOpenB[0], kOpenB[1], kOpenB[2], 255};
  bool to_b = true;
  int64_t filled = 0;
  for (auto _ : state) {
    filled = cvl::imaging::flood_fill(view, {1, 1}, to_b ? b : a, 0);
    to_b = !to_b;
    benchmark::ClobberMemory();
  }
  set_rate(state, double(filled));
  state.counters["filled %"] = 100.0 * double(filled) / (double(kEdge) * kEdge);
}
BENCHMARK(BM_FloodFillSpiralMaze)->Arg(2)->Arg(14)->Unit(benchmark::kMillisecond);

// The same region marked in a byte map instead (the magic wand on alpha).
void BM_ColourMatchMapSpiralMaze(benchmark::State& state) {
  std::vector<uint8_t> px = cvl::test::spiral_maze(kEdge, int32_t(state.range(0)), kOpenA, kWall);
  std::vector<uint8_t> map(size_t(kEdge) * kEdge);
  int64_t filled = 0;
  for (auto _ : state) {
    filled = cvl::imaging::colour_match_map({px.data(), kEdge, kEdge, 4, kEdge * 4}, {1, 1}, 300, map.data(), kEdge);
    benchmark::ClobberMemory();
  }
  set_rate(state, double(filled));
}
BENCHMARK(BM_ColourMatchMapSpiralMaze)->Arg(2)->Arg(14)->Unit(benchmark::kMillisecond);

// The limit: copying the maze picture's bytes once, counted in its pixels, with
// the picture's 4-byte pixels and with a layer's 8-byte ones (the paint bucket's).
void BM_MemcpyMazePicture(benchmark::State& state) {
  const size_t bytes_per_pixel = size_t(state.range(0));
  std::vector<uint8_t> src(size_t(kEdge) * kEdge * bytes_per_pixel, 1), dst(src.size(), 0);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), src.size());
    benchmark::ClobberMemory();
  }
  set_rate(state, double(kEdge) * kEdge);
}
BENCHMARK(BM_MemcpyMazePicture)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
