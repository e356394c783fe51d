// Rendering the view of a 4096 x 4096 canvas with 4 visible layers at 1:1,
// beside the memory-bandwidth floor of the same work in the same run: memcpy of
// the layer bytes the render has to read.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/engine.h"
#include "corvel/corvel.h"

namespace {

constexpr int kEdge = 4096;
constexpr int kLayers = 4;
constexpr int kFirstSlot = 2;
constexpr size_t kPixels = size_t{kEdge} * kEdge;

enum class Content { opaque, half };

// One canvas with 4 painting layers (512 MiB of pixels), made again whenever
// another benchmark has replaced the process's canvas in between.
struct ViewStack {
  std::vector<uint8_t> view = std::vector<uint8_t>(kPixels * 3);
  std::vector<uint16_t> copy = std::vector<uint16_t>(kPixels * 4);
  const uint16_t* first_layer = nullptr;
  Content content = Content::opaque;

  void ensure(Content c) {
    if (first_layer && cvl::engine().slot(kFirstSlot).data() == first_layer && content == c) return;
    content = c;
    CVL_SetRandomSeed(1);
    CVL_CreateImage(nullptr, kEdge, kEdge, 64, 0);
    CVL_DeleteLayer(cvl::kBackgroundSlot);
    static const char* const kModes[kLayers] = {"Normal", "Multiply", "Screen", "Overlay"};
    for (int i = 0; i < kLayers; ++i) {
      const int slot = kFirstSlot + i;
      CVL_CreateLayer(slot, kEdge, kEdge);
      fill(cvl::engine().slot(slot).data(), i, c == Content::opaque ? 65535 : 32768);
      CVL_SetLayerOptions(slot, 1, 0, 100, c == Content::opaque ? "Normal" : kModes[i]);
    }
    CVL_SetLayer(kFirstSlot);
    CVL_SetScale(1, 1);
    CVL_SetViewSize(kEdge, kEdge);
    first_layer = cvl::engine().slot(kFirstSlot).data();
  }

  // Colour varies over the layer and between layers; alpha is uniform.
  static void fill(uint16_t* p, int i, uint16_t alpha) {
    for (size_t n = 0; n < kPixels; ++n, p += 4) {
      p[0] = static_cast<uint16_t>((n * 37 + i * 4099) & 0xFF00);
      p[1] = static_cast<uint16_t>(((n >> 12) * 53 + i * 811) << 8);
      p[2] = static_cast<uint16_t>((n * 11 + (n >> 12) * 7 + i * 97) << 8);
      p[3] = alpha;
    }
  }
};

ViewStack& view_stack() {
  static ViewStack s;
  return s;
}

// Output pixels per second (for memcpy: canvas pixels whose layer bytes moved).
void set_rates(benchmark::State& state) {
  const double n = static_cast<double>(state.iterations());
  state.counters["out_px/s"] = benchmark::Counter(n * kPixels, benchmark::Counter::kIsRate);
  state.counters["layer_bytes/s"] = benchmark::Counter(n * kPixels * 8 * kLayers, benchmark::Counter::kIsRate);
}

void render_view(benchmark::State& state, Content c) {
  ViewStack& s = view_stack();
  s.ensure(c);
  for (auto _ : state) {
    CVL_Render(s.view.data(), kEdge * 3, 0, 0, kEdge, kEdge);
    benchmark::ClobberMemory();
  }
  set_rates(state);
}

// (a) four opaque Normal layers: integer copies only.
void BM_RenderOpaqueNormal(benchmark::State& state) { render_view(state, Content::opaque); }

// (b) Normal, Multiply, Screen and Overlay at half alpha: three float blends a pixel.
void BM_RenderMixedHalfAlpha(benchmark::State& state) { render_view(state, Content::half); }

// The floor: every layer's bytes read once (and written once).
void BM_MemcpyViewLayers(benchmark::State& state) {
  ViewStack& s = view_stack();
  s.ensure(Content::opaque);
  for (auto _ : state) {
    for (int i = 0; i < kLayers; ++i) {
      std::memcpy(s.copy.data(), cvl::engine().slot(kFirstSlot + i).data(), kPixels * 8);
    }
    benchmark::ClobberMemory();
  }
  set_rates(state);
}

BENCHMARK(BM_RenderOpaqueNormal)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_MemcpyViewLayers)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RenderMixedHalfAlpha)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
