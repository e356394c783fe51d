// libvips as a benchmark peer: one worker thread and its operation cache off, so
// every iteration does the work, and each result written to memory to force it.
// run_vips_all_threads lets it use the threads it would choose by itself, for the
// rows beside ours at every thread.
#pragma once

#ifdef CORVEL_HAVE_VIPS
#include <benchmark/benchmark.h>
#include <vips/vips.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench {

// The worker threads libvips picks by itself (its VIPS_CONCURRENCY variable, else
// one per hardware thread), read once before the peer is held to one.
inline int& vips_own_threads() {
  static int threads = 1;
  return threads;
}

inline bool vips_started() {
  static const bool started = [] {
    if (VIPS_INIT("corvel_bench")) return false;
    vips_own_threads() = vips_concurrency_get();
    vips_concurrency_set(1);
    vips_cache_set_max(0);
    return true;
  }();
  return started;
}

// Runs op(in, &out) on the packed edge x edge picture of `bands` bytes a pixel
// (RGBA by default) once per iteration; the result must hold out_bytes bytes.
template <class Op>
void run_vips(benchmark::State& state, const std::vector<uint8_t>& px, int edge, size_t out_bytes, Op op,
              int bands = 4) {
  if (!vips_started()) {
    state.SkipWithError("libvips did not start");
    return;
  }
  for (auto _ : state) {
    VipsImage* in = vips_image_new_from_memory(px.data(), px.size(), edge, edge, bands, VIPS_FORMAT_UCHAR);
    VipsImage* out = nullptr;
    if (op(in, &out)) {
      state.SkipWithError(vips_error_buffer());
      g_object_unref(in);
      return;
    }
    size_t bytes = 0;
    void* mem = vips_image_write_to_memory(out, &bytes);
    if (bytes != out_bytes) state.SkipWithError("libvips gave another size");
    g_free(mem);
    g_object_unref(out);
    g_object_unref(in);
  }
}

// run_vips with libvips on its own thread count; the "threads" counter shows it.
template <class Op>
void run_vips_all_threads(benchmark::State& state, const std::vector<uint8_t>& px, int edge, size_t out_bytes, Op op,
                          int bands = 4) {
  const bool started = vips_started();
  if (started) vips_concurrency_set(vips_own_threads());
  run_vips(state, px, edge, out_bytes, op, bands);
  if (started) vips_concurrency_set(1);
  state.counters["threads"] = vips_own_threads();
}

}  // namespace bench
#endif
