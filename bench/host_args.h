// The arguments a host starts from for a named effect, for benchmarks that call
// CVL_IPLImageProcess directly: every slider at the middle of its described range
// (in tenths, as the call takes them), everything else at its described default.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include <time.h>

#include <vector>

#include "bench_pictures.h"
#include "core/engine.h"
#include "corvel/corvel.h"

namespace bench {

struct HostArgs {
  int32_t s[6] = {}, option = 0, i1 = 0, i2 = 0, f[6] = {}, colour = 0;
};

inline HostArgs host_args(const char* name) {
  HostArgs a;
  for (int i = 0;; ++i) {
    const char *frame = nullptr, *reads = nullptr;
    const char* n = CVL_IPLEffectInfo(i, &frame, &reads);
    if (!n) break;
    if (std::strcmp(n, name) != 0) continue;
    for (int k = 0;; ++k) {
      const char *label = nullptr, *unit = nullptr, *meaning = nullptr;
      double lo = 0, hi = 0, def = 0;
      const char* arg = CVL_IPLEffectArgumentInfo(i, k, &label, &unit, &lo, &hi, &def, &meaning);
      if (!arg) break;
      const std::string s = arg;
      const bool numbered = s.size() == 2 && s[1] >= '1' && s[1] <= '6';
      if (numbered && s[0] == 's') a.s[s[1] - '1'] = int32_t(std::lround((lo + hi) / 2 * 10));
      else if (numbered && s[0] == 'f') a.f[s[1] - '1'] = int32_t(std::lround(def));
      else if (s == "option") a.option = int32_t(std::lround(def));
      else if (s == "i1") a.i1 = int32_t(std::lround(def));
      else if (s == "i2") a.i2 = int32_t(std::lround(def));
      else if (s == "colour") a.colour = int32_t(std::lround(def));
    }
    break;
  }
  return a;
}

// The calling thread's CPU seconds: other processes' load does not count.
inline double thread_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// An edge x edge canvas with bench::varied_picture in `slot`, made on first use; the
// layer's words, for restoring the picture before each timed effect.
inline const std::vector<uint16_t>& varied_layer_words(int edge, int slot) {
  static std::vector<uint16_t> words;
  if (words.empty()) {
    CVL_CreateImage(nullptr, edge, edge, 32, 0);
    CVL_CreateLayer(slot, edge, edge);
    const std::vector<uint8_t> px = varied_picture(edge);
    CVL_LoadRGBA32Layer(px.data(), edge * 4, slot, 0, 0, edge, edge, 0);
    const cvl::Layer& layer = cvl::engine().slot(slot);
    words.assign(layer.data(), layer.data() + size_t(edge) * edge * 4);
  }
  return words;
}

}  // namespace bench
