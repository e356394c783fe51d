// The pieces every effect call pays around its own work, at 2048 x 2048 on one
// thread and on two (the benchmark's argument): reading the layer into 8-bit buffers, premultiplying and back, loading
// the result into the layer, making and freeing the host's buffers, and setting
// the layer current; beside a copy of the same 4-byte pixels, their limit.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench_pictures.h"
#include "corvel/corvel.h"

namespace {

constexpr int kEdge = 2048;
constexpr int kSlot = 2;
constexpr size_t kPixels = size_t{kEdge} * kEdge;

struct FrameCanvas {
  FrameCanvas() : picture(bench::varied_picture(kEdge)) {
    CVL_CreateImage(nullptr, kEdge, kEdge, 32, 0);
    CVL_CreateLayer(kSlot, kEdge, kEdge);
    CVL_LoadRGBA32Layer(picture.data(), kEdge * 4, kSlot, 0, 0, kEdge, kEdge, 0);
    CVL_SetLayer(kSlot);
  }
  ~FrameCanvas() { CVL_DeleteImage(); }
  std::vector<uint8_t> picture;
};

// Each benchmark makes its own canvas: other files' benchmarks run between them.
template <class Body>
void on_canvas(benchmark::State& state, Body&& body) {
  CVL_SetThreadCount(int32_t(state.range(0)));
  {
    FrameCanvas canvas;
    body(canvas);
  }
  CVL_SetThreadCount(0);
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * double(kPixels) / 1e6, benchmark::Counter::kIsRate);
}

void BM_FrameReadRGBA32(benchmark::State& state) {
  on_canvas(state, [&](FrameCanvas&) {
    std::vector<uint8_t> out(kPixels * 4);
    for (auto _ : state) {
      CVL_GetRGBA32Layer(out.data(), kEdge * 4, kSlot);
      benchmark::DoNotOptimize(out.data());
    }
  });
}

void BM_FrameReadRGB24(benchmark::State& state) {
  on_canvas(state, [&](FrameCanvas&) {
    std::vector<uint8_t> out(kPixels * 3);
    for (auto _ : state) {
      CVL_GetRGB24Layer(out.data(), kEdge * 3, kSlot);
      benchmark::DoNotOptimize(out.data());
    }
  });
}

void BM_FrameLoadRGBA32(benchmark::State& state) {
  on_canvas(state, [&](FrameCanvas& c) {
    for (auto _ : state) {
      CVL_LoadRGBA32(c.picture.data(), kEdge * 4, 1);
      benchmark::ClobberMemory();
    }
  });
}

void BM_FrameLoadRGB24(benchmark::State& state) {
  on_canvas(state, [&](FrameCanvas& c) {
    std::vector<uint8_t> rgb(kPixels * 3);
    for (size_t i = 0; i < kPixels; ++i) std::memcpy(&rgb[i * 3], &c.picture[i * 4], 3);
    for (auto _ : state) {
      CVL_LoadRGB24(rgb.data(), kEdge * 3, 1);
      benchmark::ClobberMemory();
    }
  });
}

// Premultiplying and back in turn, so each pass sees the picture's varied alpha.
void BM_FramePremultiplyAndBack(benchmark::State& state) {
  on_canvas(state, [&](FrameCanvas& c) {
    std::vector<uint8_t> image = c.picture;
    for (auto _ : state) {
      CVL_AdjustRGBA32PreFilter(image.data(), kEdge, kEdge);
      CVL_AdjustRGBA32PostFilter(image.data(), kEdge, kEdge);
      benchmark::ClobberMemory();
    }
  });
}

void BM_FrameHostBuffers(benchmark::State& state) {
  on_canvas(state, [&](FrameCanvas&) {
    for (auto _ : state) {
      benchmark::DoNotOptimize(CVL_IPLAllocSrcBuffer32());
      benchmark::DoNotOptimize(CVL_IPLAllocDstBuffer32());
      CVL_IPLFreeSrcBuffer32();
      CVL_IPLFreeDstBuffer32();
    }
  });
}

void BM_FrameSetLayer(benchmark::State& state) {
  on_canvas(state, [&](FrameCanvas&) {
    for (auto _ : state) CVL_SetLayer(kSlot);
  });
}

void BM_FrameCopyLimit(benchmark::State& state) {
  on_canvas(state, [&](FrameCanvas& c) {
    std::vector<uint8_t> out(kPixels * 4);
    for (auto _ : state) {
      std::memcpy(out.data(), c.picture.data(), out.size());
      benchmark::DoNotOptimize(out.data());
    }
  });
}

BENCHMARK(BM_FrameReadRGBA32)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameReadRGB24)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameLoadRGBA32)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameLoadRGB24)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramePremultiplyAndBack)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameHostBuffers)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameSetLayer)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameCopyLimit)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
