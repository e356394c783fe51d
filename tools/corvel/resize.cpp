// corvel resize: an image file resampled through the engine's whole-canvas resize.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "commands.h"
#include "corvel/corvel.h"

namespace corvel_tool {

namespace {

constexpr int32_t kSlot = 2;  // a painting layer: it keeps the picture's transparency as it is

// The engine lists its own filter names, so the tool never falls behind it.
bool known_filter(const char* name) {
  for (int32_t i = 0; const char* f = CVL_IPLResizeFilterName(i); ++i)
    if (std::strcmp(f, name) == 0) return true;
  std::fprintf(stderr, "corvel resize: FILTER \"%s\": unknown; the filters are (names as written):\n", name);
  for (int32_t i = 0; const char* f = CVL_IPLResizeFilterName(i); ++i) std::fprintf(stderr, "  %s\n", f);
  return false;
}

bool parse_edge(const char* what, const char* text, int32_t* out) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (*text && !*end && v > 0 && v <= 10000) {
    *out = static_cast<int32_t>(v);
    return true;
  }
  std::fprintf(stderr, "corvel resize: %s \"%s\": needs a whole number from 1 to 10000\n", what, text);
  return false;
}

}  // namespace

int run_resize(const char* in_path, const char* out_path, const char* width, const char* height, const char* filter) {
  int32_t nw = 0, nh = 0;
  if (!parse_edge("W", width, &nw) || !parse_edge("H", height, &nh) || !known_filter(filter)) return 2;
  if (!writable(out_path, kWritableExtensions)) return 1;
  Picture p;
  if (!read_picture(in_path, p)) return 1;
  const int32_t w = p.width, h = p.height;
  if (w > 10000 || h > 10000) {
    std::fprintf(stderr, "corvel: %s is %d x %d; the engine's canvas takes at most 10000 x 10000\n", in_path, w, h);
    return 1;
  }
  CVL_CreateImage(nullptr, w, h, 16, 0);
  CVL_CreateLayer(kSlot, w, h);
  CVL_SetLayerOptions(kSlot, 1, 0, 100, "Normal");
  CVL_LoadRGBA32Layer(p.rgba.data(), w * 4, kSlot, 0, 0, w, h, 0);
  CVL_IPLResize(nw, nh, filter);
  // The engine leaves the layers resized and the canvas for the host to follow.
  CVL_NewSize(nullptr, nw, nh, 16, 0);
  std::vector<uint8_t> out(size_t(nw) * size_t(nh) * 4, 0);
  CVL_GetRGBA32Layer(out.data(), nw * 4, kSlot);
  CVL_DeleteImage();
  if (!write_rgba(out.data(), nw, nh, p.transparent, out_path, p.dpi)) return 1;
  std::printf("%s (%d x %d) -> %s (%d x %d, %s)\n", in_path, w, h, out_path, nw, nh, filter);
  return 0;
}

}  // namespace corvel_tool
