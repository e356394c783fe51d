// Dabs of round tips along a stroke, into the paint layer: plain normal-mode dabs,
// and dabs with grit and blending; and plain dabs scattered over a 4096 x 4096
// canvas, where each dab lands on rows nothing has touched lately. The peer draws
// dabs of the same size and hardness onto its own fixed tiled surface in the same
// run (single-threaded, as the engine is), so the ratio of footprint rates is the
// comparison.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "corvel/corvel.h"
#include "imaging/lcg15.h"

#ifdef CORVEL_HAVE_MYPAINT
#include <dlfcn.h>
#include <libmypaint/mypaint-fixed-tiled-surface.h>
#endif

namespace {

constexpr int kEdge = 1024;
constexpr int kWideEdge = 4096;  // the scattered dabs' canvas
constexpr int kBatch = 16;       // dabs per timed iteration
constexpr int kSoftness = 128;   // soft edge over half the radius: hardness 0.5
constexpr float kHardness = 0.5f;

struct Stroke {
  int size;
  int step;
  int x = 0, y = 0;
  // The next dab centre: left to right with quarter-diameter spacing, row by row.
  void next(int& cx, int& cy) {
    x += step;
    if (x >= kEdge) x = 0, y = (y + size / 2) % kEdge;
    cx = x, cy = y;
  }
};

void set_rates(benchmark::State& state, int size) {
  const double dabs = static_cast<double>(state.iterations()) * kBatch;
  state.counters["dabs/s"] = benchmark::Counter(dabs, benchmark::Counter::kIsRate);
  state.counters["Mpix/s"] = benchmark::Counter(dabs * size * size / 1e6, benchmark::Counter::kIsRate);
}

// Dab centres spread evenly at random over the wide canvas, the same every run.
struct Scatter {
  std::vector<int> xy;
  size_t at = 0;
  Scatter() {
    cvl::imaging::Lcg15 rng(7);
    xy.resize(2 * 8192);
    for (int& v : xy) v = rng.next() >> 3;  // 0..4095
  }
  void next(int& cx, int& cy) {
    cx = xy[at], cy = xy[at + 1];
    at = (at + 2) % xy.size();
  }
};

void prepare_canvas(int size, bool grit_and_blend, int edge = kEdge) {
  CVL_DeleteImage();
  CVL_SetRandomSeed(1);
  CVL_CreateImage(nullptr, edge, edge, 256, 0);
  CVL_CreateLayer(2, edge, edge);
  CVL_SetLayer(2);
  CVL_CreatePaintLayer(100, "Normal");
  CVL_SetAlpha(100);
  CVL_SetDensity(grit_and_blend ? 200 : 256);
  CVL_SetSize(size);
  CVL_SetTool(1.0f, grit_and_blend ? 2 : 0, 120, 200, kSoftness, 0, 1000, grit_and_blend ? 128 : 0, 0, 0, 0, 0, 0, "",
              "", 0);
  if (grit_and_blend) CVL_CopyBlendBufferSurface(size / 2, size / 2, 128, 0);
}

void BM_Dab(benchmark::State& state, bool grit_and_blend) {
  const int size = static_cast<int>(state.range(0));
  prepare_canvas(size, grit_and_blend);
  Stroke stroke{size, size / 4};
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      int x, y;
      stroke.next(x, y);
      CVL_DrawDabGrit(x, y, 0xC000, 0x4000, 0x2000);
    }
  }
  set_rates(state, size);
  CVL_DeleteImage();
}

void BM_DabPlain(benchmark::State& state) { BM_Dab(state, false); }
void BM_DabGritBlend(benchmark::State& state) { BM_Dab(state, true); }
BENCHMARK(BM_DabPlain)->Arg(16)->Arg(64)->Arg(256);
BENCHMARK(BM_DabGritBlend)->Arg(16)->Arg(64)->Arg(256);

void BM_DabScattered(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  prepare_canvas(size, false, kWideEdge);
  Scatter scatter;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) {
      int x, y;
      scatter.next(x, y);
      CVL_DrawDabGrit(x, y, 0xC000, 0x4000, 0x2000);
    }
  }
  set_rates(state, size);
  CVL_DeleteImage();
}
BENCHMARK(BM_DabScattered)->Arg(16)->Arg(64)->Arg(256);

#ifdef CORVEL_HAVE_MYPAINT
// The peer parallelises tile work with OpenMP; one thread keeps the comparison
// per core. Its runtime is already loaded with it, so it is looked up, not linked.
void single_thread_peer() {
  using SetThreads = void (*)(int);
  if (auto set = reinterpret_cast<SetThreads>(dlsym(RTLD_DEFAULT, "omp_set_num_threads"))) set(1);
}

void BM_PeerDab(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  single_thread_peer();
  MyPaintFixedTiledSurface* fixed = mypaint_fixed_tiled_surface_new(kEdge, kEdge);
  MyPaintSurface* surface = mypaint_fixed_tiled_surface_interface(fixed);
  Stroke stroke{size, size / 4};
  for (auto _ : state) {
    mypaint_surface_begin_atomic(surface);
    for (int i = 0; i < kBatch; ++i) {
      int x, y;
      stroke.next(x, y);
      mypaint_surface_draw_dab(surface, static_cast<float>(x), static_cast<float>(y), size * 0.5f, 0.75f, 0.25f, 0.125f,
                               1.0f, kHardness, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
    }
    mypaint_surface_end_atomic(surface, nullptr);
  }
  set_rates(state, size);
  mypaint_surface_unref(surface);
}
BENCHMARK(BM_PeerDab)->Arg(16)->Arg(64)->Arg(256);

void BM_PeerDabScattered(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  single_thread_peer();
  MyPaintFixedTiledSurface* fixed = mypaint_fixed_tiled_surface_new(kWideEdge, kWideEdge);
  MyPaintSurface* surface = mypaint_fixed_tiled_surface_interface(fixed);
  Scatter scatter;
  for (auto _ : state) {
    mypaint_surface_begin_atomic(surface);
    for (int i = 0; i < kBatch; ++i) {
      int x, y;
      scatter.next(x, y);
      mypaint_surface_draw_dab(surface, static_cast<float>(x), static_cast<float>(y), size * 0.5f, 0.75f, 0.25f, 0.125f,
                               1.0f, kHardness, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
    }
    mypaint_surface_end_atomic(surface, nullptr);
  }
  set_rates(state, size);
  mypaint_surface_unref(surface);
}
BENCHMARK(BM_PeerDabScattered)->Arg(16)->Arg(64)->Arg(256);
#endif

}  // namespace
