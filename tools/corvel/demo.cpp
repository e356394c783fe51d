// The demo paints through the engine's public calls only, as a host would.
#include <cmath>
#include <cstdio>
#include <vector>

#include "commands.h"
#include "corvel/corvel.h"
#include "png_out.h"

namespace corvel_tool {

namespace {

// Host-side "over" of a straight-alpha RGBA32 layer onto an opaque one.
void flatten_over(std::vector<uint8_t>& base, const std::vector<uint8_t>& top) {
  for (size_t i = 0; i < base.size(); i += 4) {
    const unsigned a = top[i + 3];
    for (int c = 0; c < 3; ++c) base[i + c] = static_cast<uint8_t>((top[i + c] * a + base[i + c] * (255 - a)) / 255);
    base[i + 3] = 255;
  }
}

}  // namespace

int run_demo(const char* out_path) {
  const int w = 640, h = 400;
  CVL_SetRandomSeed(2026);
  CVL_CreateImage(nullptr, w, h, 128, 0);
  if (!CVL_CreateLayer(1, w, h) || !CVL_CreateLayer(2, w, h)) {
    std::fprintf(stderr, "corvel demo: could not create layers: %s\n", CVL_GetLastError());
    return 1;
  }

  // Layer 2: a colour gradient whose alpha is a soft disc.
  std::vector<uint8_t> colour(static_cast<size_t>(w) * h * 3), shape(colour.size());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &colour[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = static_cast<uint8_t>(40 + 200 * x / w);
      p[1] = static_cast<uint8_t>(60 + 120 * y / h);
      p[2] = static_cast<uint8_t>(220 - 180 * x / w);
      const double dx = x - w * 0.5, dy = y - h * 0.5;
      const double d = std::sqrt(dx * dx + dy * dy) / (h * 0.45);
      shape[(static_cast<size_t>(y) * w + x) * 3] = static_cast<uint8_t>(d >= 1 ? 0 : 255 * (1 - d * d));
    }
  CVL_SetLayer(2);
  CVL_Clear(0, 0, 0, 255);
  CVL_LoadRGB24(colour.data(), w * 3, 0);
  CVL_LoadRGB24ToAlpha(shape.data(), w * 3, 0);

  // Layer 1 (the white background) gets a faint horizontal ramp.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &colour[(static_cast<size_t>(y) * w + x) * 3];
      p[0] = p[1] = static_cast<uint8_t>(235 + 20 * y / h);
      p[2] = 255;
    }
  CVL_SetLayer(1);
  CVL_LoadRGB24(colour.data(), w * 3, 0);

  std::vector<uint8_t> base(static_cast<size_t>(w) * h * 4), top(base.size());
  CVL_GetRGBA32Layer(base.data(), w * 4, 1);
  CVL_GetRGBA32Layer(top.data(), w * 4, 2);
  flatten_over(base, top);
  CVL_DeleteImage();
  if (!write_png_rgba(out_path, base.data(), w, h)) {
    std::fprintf(stderr, "corvel demo: could not write %s\n", out_path);
    return 1;
  }
  std::printf("corvel demo: painted a %dx%d canvas on two layers and wrote %s\n", w, h, out_path);
  return 0;
}

}  // namespace corvel_tool
