// Flattening 8 visible 4096x4096 layers with CVL_Merge, beside the floors and
// peers of the same work in the same run: memcpy of the same layer bytes for
// opaque Normal layers, and pixman's 8-bit premultiplied blend of the same
// layers for the separable modes at half alpha.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/engine.h"
#include "corvel/corvel.h"
#include "layers/mix_mode_names.h"

#if defined(CORVEL_HAVE_PIXMAN)
#include <pixman.h>
#endif

namespace {

constexpr int kEdge = 4096;
constexpr int kLayers = 8;
constexpr int kFirstSlot = 2;
constexpr size_t kPixels = size_t{kEdge} * kEdge;

enum class Content { none, opaque, half };

// One canvas with 8 layers for the whole process: 1 GiB of layer pixels.
struct Stack {
  Content content = Content::none;
  std::vector<uint16_t> flat = std::vector<uint16_t>(kPixels * 4);

  Stack() {
    CVL_SetRandomSeed(1);
    CVL_CreateImage(nullptr, kEdge, kEdge, 64, 0);
    CVL_DeleteLayer(cvl::kBackgroundSlot);
    CVL_SetLayerOptions(cvl::kBackgroundSlot, 0, 0, 100, "Normal");
    for (int i = 0; i < kLayers; ++i) CVL_CreateLayer(kFirstSlot + i, kEdge, kEdge);
  }
  ~Stack() { CVL_DeleteImage(); }

  // Colour varies over the layer and between layers; alpha is uniform.
  void fill(Content c) {
    if (content == c) return;
    content = c;
    const uint16_t alpha = c == Content::opaque ? 65535 : 32768;
    for (int i = 0; i < kLayers; ++i) {
      uint16_t* p = cvl::engine().slot(kFirstSlot + i).data();
      for (size_t n = 0; n < kPixels; ++n, p += 4) {
        p[0] = static_cast<uint16_t>((n * 37 + i * 4099) & 0xFF00);
        p[1] = static_cast<uint16_t>(((n >> 12) * 53 + i * 811) << 8);
        p[2] = static_cast<uint16_t>((n * 11 + (n >> 12) * 7 + i * 97) << 8);
        p[3] = alpha;
      }
    }
  }

  void set_mode(int mode) {
    for (int i = 0; i < kLayers; ++i) CVL_SetLayerOptions(kFirstSlot + i, 1, 0, 100, cvl::mode_name(mode));
  }

  const uint16_t* layer(int i) { return cvl::engine().slot(kFirstSlot + i).data(); }
};

Stack& stack() {
  static Stack s;
  return s;
}

void set_rate(benchmark::State& state) {
  state.counters["layer_px/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kLayers * kPixels,
                                                    benchmark::Counter::kIsRate);
}

// The peers merge on one thread, so the engine's rows are held to one too (the
// thread count is the argument where a row has one, 0 meaning every thread).
void merge_rows(benchmark::State& state, int32_t threads) {
  Stack& s = stack();
  CVL_SetThreadCount(threads);
  for (auto _ : state) {
    CVL_Merge(s.flat.data());
    benchmark::ClobberMemory();
  }
  CVL_SetThreadCount(0);
  set_rate(state);
  state.counters["threads"] = threads;
}

void BM_MergeOpaqueNormal(benchmark::State& state) {
  Stack& s = stack();
  s.fill(Content::opaque);
  s.set_mode(0);
  merge_rows(state, 1);
}

// The floor of (a): moving each layer's bytes once into the flat image.
void BM_MemcpyOpaqueLayers(benchmark::State& state) {
  Stack& s = stack();
  s.fill(Content::opaque);
  for (auto _ : state) {
    for (int i = 0; i < kLayers; ++i) std::memcpy(s.flat.data(), s.layer(i), kPixels * 8);
    benchmark::ClobberMemory();
  }
  set_rate(state);
}

void BM_MergeHalfAlpha(benchmark::State& state) {
  Stack& s = stack();
  s.fill(Content::half);
  s.set_mode(static_cast<int>(state.range(0)));
  merge_rows(state, 1);
}

void BM_MergeHalfAlphaNormal_AllThreads(benchmark::State& state) {
  Stack& s = stack();
  s.fill(Content::half);
  s.set_mode(0);
  merge_rows(state, 0);
}

BENCHMARK(BM_MergeOpaqueNormal)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MemcpyOpaqueLayers)->Unit(benchmark::kMillisecond)->Iterations(3);
// Normal, Multiply, Screen, Overlay, Soft Light.
BENCHMARK(BM_MergeHalfAlpha)->Arg(0)->Arg(1)->Arg(2)->Arg(8)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_MergeHalfAlphaNormal_AllThreads)->Unit(benchmark::kMillisecond)->Iterations(2);

#if defined(CORVEL_HAVE_PIXMAN)

// The same layers as 8-bit premultiplied images, made once.
struct PixmanStack {
  std::vector<std::vector<uint32_t>> bits;
  std::vector<pixman_image_t*> layers;
  std::vector<uint32_t> flat_bits = std::vector<uint32_t>(kPixels);
  pixman_image_t* flat = nullptr;

  PixmanStack() {
    Stack& s = stack();
    s.fill(Content::half);
    for (int i = 0; i < kLayers; ++i) {
      bits.emplace_back(kPixels);
      const uint16_t* p = s.layer(i);
      uint32_t* q = bits.back().data();
      for (size_t n = 0; n < kPixels; ++n, p += 4) {
        const uint32_t a = p[3] >> 8;
        auto pre = [a](uint16_t c) { return ((c >> 8) * a + 127) / 255; };
        q[n] = a << 24 | pre(p[0]) << 16 | pre(p[1]) << 8 | pre(p[2]);
      }
      layers.push_back(pixman_image_create_bits(PIXMAN_a8r8g8b8, kEdge, kEdge, bits.back().data(), kEdge * 4));
    }
    flat = pixman_image_create_bits(PIXMAN_a8r8g8b8, kEdge, kEdge, flat_bits.data(), kEdge * 4);
  }
  ~PixmanStack() {
    for (pixman_image_t* img : layers) pixman_image_unref(img);
    pixman_image_unref(flat);
  }
};

PixmanStack& pixman_stack() {
  static PixmanStack s;
  return s;
}

// pixman flattening the same 8 layers: clear, then blend each layer in turn.
void BM_PixmanHalfAlpha(benchmark::State& state) {
  PixmanStack& s = pixman_stack();
  const auto op = static_cast<pixman_op_t>(state.range(0));
  for (auto _ : state) {
    std::memset(s.flat_bits.data(), 0, kPixels * 4);
    for (pixman_image_t* layer : s.layers)
      pixman_image_composite32(op, layer, nullptr, s.flat, 0, 0, 0, 0, 0, 0, kEdge, kEdge);
    benchmark::ClobberMemory();
  }
  set_rate(state);
}

BENCHMARK(BM_PixmanHalfAlpha)
    ->Arg(PIXMAN_OP_OVER)
    ->Arg(PIXMAN_OP_MULTIPLY)
    ->Arg(PIXMAN_OP_SCREEN)
    ->Arg(PIXMAN_OP_OVERLAY)
    ->Arg(PIXMAN_OP_SOFT_LIGHT)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// The peer of Normal at half alpha that works in floating point as the merge does:
// pixman's OVER on premultiplied single-precision RGBA. Four float layers (1 GiB)
// made from the first four, each blended twice, so the flattening is 8 layers deep.
struct PixmanFloatStack {
  static constexpr int kDistinct = 4;
  std::vector<std::vector<float>> bits;
  std::vector<pixman_image_t*> layers;
  std::vector<float> flat_bits = std::vector<float>(kPixels * 4);
  pixman_image_t* flat = nullptr;

  PixmanFloatStack() {
    Stack& s = stack();
    s.fill(Content::half);
    for (int i = 0; i < kDistinct; ++i) {
      bits.emplace_back(kPixels * 4);
      const uint16_t* p = s.layer(i);
      float* q = bits.back().data();
      for (size_t n = 0; n < kPixels; ++n, p += 4, q += 4) {
        const float a = p[3] / 65535.0f;
        for (int c = 0; c < 3; ++c) q[c] = p[c] / 65280.0f * a;
        q[3] = a;
      }
      layers.push_back(pixman_image_create_bits(PIXMAN_rgba_float, kEdge, kEdge,
                                                reinterpret_cast<uint32_t*>(bits.back().data()), kEdge * 16));
    }
    flat = pixman_image_create_bits(PIXMAN_rgba_float, kEdge, kEdge, reinterpret_cast<uint32_t*>(flat_bits.data()),
                                    kEdge * 16);
  }
  ~PixmanFloatStack() {
    for (pixman_image_t* img : layers) pixman_image_unref(img);
    pixman_image_unref(flat);
  }
};

void BM_PixmanFloatOverHalfAlpha(benchmark::State& state) {
  static PixmanFloatStack s;
  for (auto _ : state) {
    std::memset(s.flat_bits.data(), 0, kPixels * 16);
    for (int i = 0; i < kLayers; ++i)
      pixman_image_composite32(PIXMAN_OP_OVER, s.layers[i % PixmanFloatStack::kDistinct], nullptr, s.flat, 0, 0, 0,
                               0, 0, 0, kEdge, kEdge);
    benchmark::ClobberMemory();
  }
  set_rate(state);
}

BENCHMARK(BM_PixmanFloatOverHalfAlpha)->Unit(benchmark::kMillisecond)->Iterations(2);

#endif

}  // namespace
