// One named effect run the way a host runs it: the current layer set, both RGBA32
// IPL buffers made, CVL_IPLImageProcess with the arguments a host would start from
// (every slider at the middle of its described range, everything else at its
// described default), the buffers freed again. The table benchmarks time exactly
// this, so their figures are what a host's user waits for.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench_pictures.h"
#include "host_args.h"
#include "core/engine.h"
#include "corvel/corvel.h"
#include "effects/effect_table.h"

namespace bench {

// The layer the effects work on; slot 1 stays the white background under it.
constexpr int kEffectSlot = 2;

struct HostEffect {
  int index = 0;
  std::string name, frame;
  bool built = false;
  int32_t s[6] = {}, option = 0, i1 = 0, i2 = 0, f[6] = {}, r = 0, g = 0, b = 0;
  std::string text;
  // Arguments the table describes that this program does not know how to pass:
  // they would silently go in as 0, so the table shows them.
  std::string unknown;
};

// The index-th effect's name and the arguments a host starts from.
inline HostEffect describe_effect(int index, const char* name, const char* frame) {
  HostEffect e;
  e.index = index;
  e.name = name;
  e.frame = frame ? frame : "";
  const cvl::EffectRow* row = cvl::find_effect_row(name);
  e.built = row && row->run;
  const auto whole = [](double v) { return int32_t(std::lround(v)); };
  for (int k = 0;; ++k) {
    const char *label = nullptr, *unit = nullptr, *meaning = nullptr;
    double lo = 0, hi = 0, def = 0;
    const char* arg = CVL_IPLEffectArgumentInfo(index, k, &label, &unit, &lo, &hi, &def, &meaning);
    if (!arg) break;
    const std::string a = arg;
    const bool numbered = a.size() == 2 && a[1] >= '1' && a[1] <= '6';
    if (numbered && a[0] == 's') e.s[a[1] - '1'] = whole((lo + hi) / 2 * 10);  // the call takes tenths of a slider unit
    else if (numbered && a[0] == 'f') e.f[a[1] - '1'] = whole(def);
    else if (a == "option") e.option = whole(def);
    else if (a == "i1") e.i1 = whole(def);
    else if (a == "i2") e.i2 = whole(def);
    else if (a == "colour") e.r = e.g = e.b = whole(def);
    else if (a == "text")
      // The smallest inputs the examples hold: a Lua filter for the Lua frame, an
      // image script for the rows that tile a rendered picture.
      e.text = std::string(CORVEL_EXAMPLES_DIR) + (e.frame == "lua" ? "/lua/invert.lua" : "/scripts/bricks.isc");
    else e.unknown += (e.unknown.empty() ? "" : " ") + a;
  }
  return e;
}

// Every name CVL_IPLImageProcess takes, in the table's order.
inline std::vector<HostEffect> every_effect() {
  std::vector<HostEffect> all;
  for (int i = 0;; ++i) {
    const char *frame = nullptr, *reads = nullptr;
    const char* name = CVL_IPLEffectInfo(i, &frame, &reads);
    if (!name) break;
    all.push_back(describe_effect(i, name, frame));
  }
  return all;
}

// One square canvas holding the varied picture in kEffectSlot, kept between
// benchmarks of the same size; each run puts the picture's words back first.
class EffectCanvas {
 public:
  void use(int edge) {
    const cvl::Layer& layer = cvl::engine().slot(kEffectSlot);
    if (edge_ == edge && layer.data() && layer.width == edge && layer.height == edge) return;
    CVL_DeleteImage();
    CVL_CreateImage(nullptr, edge, edge, 32, 0);
    CVL_CreateLayer(kEffectSlot, edge, edge);
    const std::vector<uint8_t> px = varied_picture(edge);
    CVL_LoadRGBA32Layer(px.data(), edge * 4, kEffectSlot, 0, 0, edge, edge, 0);
    words_.assign(layer.data(), layer.data() + size_t(edge) * size_t(edge) * 4);
    edge_ = edge;
  }
  // For benchmarks that make canvases of their own.
  void forget() {
    CVL_DeleteImage();
    edge_ = 0;
    words_.clear();
  }
  void restore() {
    std::memcpy(cvl::engine().slot(kEffectSlot).data(), words_.data(), words_.size() * sizeof(uint16_t));
  }

 private:
  int edge_ = 0;
  std::vector<uint16_t> words_;
};

inline EffectCanvas& effect_canvas() {
  static EffectCanvas canvas;
  return canvas;
}

inline void set_rate(benchmark::State& state, double pixels_per_iteration) {
  state.counters["Mpix/s"] =
      benchmark::Counter(double(state.iterations()) * pixels_per_iteration / 1e6, benchmark::Counter::kIsRate);
}

// Times `e` on an edge x edge canvas with `threads` (CVL_SetThreadCount's value).
// Putting the picture back and seeding the generator are left out of the time.
inline void time_effect(benchmark::State& state, const HostEffect& e, int edge, int threads) {
  EffectCanvas& canvas = effect_canvas();
  canvas.use(edge);
  CVL_SetThreadCount(threads);
  state.counters["threads"] = CVL_GetThreadCount();
  for (auto _ : state) {
    state.PauseTiming();
    canvas.restore();
    CVL_SetRandomSeed(1);
    state.ResumeTiming();
    CVL_SetLayer(kEffectSlot);
    if (!CVL_IPLAllocSrcBuffer32() || !CVL_IPLAllocDstBuffer32()) {
      state.SkipWithError("the IPL buffers were not made");
      break;
    }
    benchmark::DoNotOptimize(CVL_IPLImageProcess(0, e.name.c_str(), e.i1, e.s[0], e.s[1], e.s[2], e.s[3], e.s[4],
                                                 e.s[5], e.option, e.i2, e.f[0], e.f[1], e.f[2], e.f[3], e.f[4], e.f[5],
                                                 e.r, e.g, e.b, e.text.c_str()));
    CVL_IPLFreeSrcBuffer32();
    CVL_IPLFreeDstBuffer32();
  }
  CVL_SetThreadCount(0);
  set_rate(state, double(edge) * edge);
}

// Mpix/s of edge x edge pictures over the calling thread's CPU time (Google
// Benchmark's rate counters divide by process time, which other threads fill);
// the iterations' times go to Google Benchmark as manual times.
class CpuClock {
 public:
  explicit CpuClock(int edge) : pixels_(double(edge) * edge) {}
  void start() { start_ = thread_seconds(); }
  void stop(benchmark::State& state) {
    const double t = thread_seconds() - start_;
    total_ += t;
    state.SetIterationTime(t);
  }
  void report(benchmark::State& state) const {
    if (total_ > 0) state.counters["Mpix/s"] = double(state.iterations()) * pixels_ / 1e6 / total_;
  }

 private:
  double pixels_, start_ = 0, total_ = 0;
};

// The index CVL_IPLEffectInfo gives the named effect, or -1.
inline int effect_index(const char* name) {
  for (int i = 0;; ++i) {
    const char *frame = nullptr, *reads = nullptr;
    const char* n = CVL_IPLEffectInfo(i, &frame, &reads);
    if (!n) return -1;
    if (std::string(n) == name) return i;
  }
}

// Times the named effect as a host runs it on an edge x edge canvas on one thread,
// by the calling thread's CPU time (register with UseManualTime()).
inline void time_effect_cpu(benchmark::State& state, const char* name, int edge) {
  const int index = effect_index(name);
  if (index < 0) {
    state.SkipWithError("no such effect");
    return;
  }
  const char *frame = nullptr, *reads = nullptr;
  CVL_IPLEffectInfo(index, &frame, &reads);
  const HostEffect e = describe_effect(index, name, frame);
  EffectCanvas& canvas = effect_canvas();
  canvas.use(edge);
  CVL_SetThreadCount(1);
  CpuClock clock(edge);
  for (auto _ : state) {
    canvas.restore();
    CVL_SetRandomSeed(1);
    clock.start();
    CVL_SetLayer(kEffectSlot);
    CVL_IPLAllocSrcBuffer32();
    CVL_IPLAllocDstBuffer32();
    benchmark::DoNotOptimize(CVL_IPLImageProcess(0, e.name.c_str(), e.i1, e.s[0], e.s[1], e.s[2], e.s[3], e.s[4],
                                                 e.s[5], e.option, e.i2, e.f[0], e.f[1], e.f[2], e.f[3], e.f[4], e.f[5],
                                                 e.r, e.g, e.b, e.text.c_str()));
    CVL_IPLFreeSrcBuffer32();
    CVL_IPLFreeDstBuffer32();
    clock.stop(state);
  }
  CVL_SetThreadCount(0);
  clock.report(state);
}

}  // namespace bench
