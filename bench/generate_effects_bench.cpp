// The image-script generators (shapes, strokes and textures drawn over the layer) on a
// 2048 x 2048 layer, run as a host runs them: both RGBA32 IPL buffers, the current
// layer, CVL_IPLImageProcess with every slider at the middle of its described range
// and every other argument at its default, on one thread.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "corvel/corvel.h"

namespace {

constexpr int kEdge = 2048;
constexpr int kSlot = 2;

void prepare() {
  static bool ready = false;
  if (ready) return;
  CVL_SetRandomSeed(1);
  CVL_CreateImage(nullptr, kEdge, kEdge, 32, 0);
  CVL_CreateLayer(kSlot, kEdge, kEdge);
  std::vector<uint16_t> px(size_t(kEdge) * kEdge * 4);
  for (size_t i = 0, n = size_t(kEdge) * kEdge; i < n; ++i) {
    const size_t x = i % kEdge, y = i / kEdge;
    px[i * 4] = uint16_t((x / 8) << 8), px[i * 4 + 1] = uint16_t((y / 8) << 8);
    px[i * 4 + 2] = uint16_t(((x * 7 ^ y * 3) & 255) << 8), px[i * 4 + 3] = 65535;
  }
  CVL_SetLayerData(px.data(), kSlot);
  CVL_SetLayer(kSlot);
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  ready = true;
}

// The effect's arguments as the host would first set them.
struct Call {
  int32_t i1 = 0, s[6] = {}, option = 0, i2 = 0, f[6] = {}, rgb[3] = {};
};

Call middle_call(const char* effect) {
  Call c;
  for (int32_t index = 0;; ++index) {
    const char* frame = nullptr;
    const char* reads = nullptr;
    const char* name = CVL_IPLEffectInfo(index, &frame, &reads);
    if (!name) break;
    if (std::strcmp(name, effect) != 0) continue;
    for (int32_t k = 0;; ++k) {
      const char *short_name = nullptr, *unit = nullptr, *meaning = nullptr;
      double lo = 0, hi = 0, def = 0;
      const char* arg = CVL_IPLEffectArgumentInfo(index, k, &short_name, &unit, &lo, &hi, &def, &meaning);
      if (!arg) break;
      const std::string a = arg;
      if (a.size() == 2 && a[0] == 's') c.s[a[1] - '1'] = int32_t((lo + hi) / 2 * 10);
      else if (a.size() == 2 && a[0] == 'f') c.f[a[1] - '1'] = int32_t(def);
      else if (a == "i1") c.i1 = int32_t(def);
      else if (a == "i2") c.i2 = int32_t(def);
      else if (a == "option") c.option = int32_t(def);
      else if (a == "colour") c.rgb[0] = c.rgb[1] = c.rgb[2] = int32_t(def);
    }
    break;
  }
  return c;
}

void run_effect(benchmark::State& state, const char* effect) {
  prepare();
  CVL_SetThreadCount(1);
  const Call c = middle_call(effect);
  for (auto _ : state)
    benchmark::DoNotOptimize(CVL_IPLImageProcess(0, effect, c.i1, c.s[0], c.s[1], c.s[2], c.s[3], c.s[4], c.s[5],
                                                 c.option, c.i2, c.f[0], c.f[1], c.f[2], c.f[3], c.f[4], c.f[5],
                                                 c.rgb[0], c.rgb[1], c.rgb[2], ""));
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * kEdge * kEdge / 1e6, benchmark::Counter::kIsRate);
  CVL_SetThreadCount(0);
}

#define CVL_GENERATE_BENCH(fn, name)                                         \
  void BM_Generate##fn(benchmark::State& state) { run_effect(state, name); } \
  BENCHMARK(BM_Generate##fn)->Unit(benchmark::kMillisecond)

CVL_GENERATE_BENCH(FractalPlasma, "Fractal Plasma");
CVL_GENERATE_BENCH(Circles, "Circles");
CVL_GENERATE_BENCH(Fibers, "Fibers");
CVL_GENERATE_BENCH(Trees, "Trees");
CVL_GENERATE_BENCH(Blobs, "Blobs");
CVL_GENERATE_BENCH(Worms, "Worms");
CVL_GENERATE_BENCH(Lines, "Lines");
CVL_GENERATE_BENCH(Points, "Points");
CVL_GENERATE_BENCH(Rectangles, "Rectangles");
CVL_GENERATE_BENCH(Splines, "Splines");
CVL_GENERATE_BENCH(Plasma, "Plasma");
CVL_GENERATE_BENCH(SinePlasma, "Sine Plasma");
CVL_GENERATE_BENCH(Perlin, "Generate Perlin Noise");
CVL_GENERATE_BENCH(Noise, "Generate Noise");
CVL_GENERATE_BENCH(Pattern, "Pattern");

}  // namespace
