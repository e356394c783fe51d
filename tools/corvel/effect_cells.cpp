#include "effect_cells.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "corvel/corvel.h"
#include "scratch.h"

namespace corvel_tool {

namespace {

// The "Lua Filter" cell runs this script: each pixel's channels turn round.
constexpr char kLuaFilter[] =
    "for y = bound_y0, bound_y1 do\n"
    "  for x = bound_x0, bound_x1 do\n"
    "    local r, g, b = get_rgb(x, y)\n"
    "    set_rgb(x, y, b, r, g)\n"
    "  end\n"
    "end\n";

// The script-driven cells (backgrounds, texture reliefs, displacement) render
// this image script: red bricks in a running bond with pale mortar.
constexpr char kBrickScript[] =
    "imagescript 1\n"
    "size 64 32\n"
    "seed 3\n"
    "fill 150 60 40 255\n"
    "noise 18\n"
    "effect 42 32 16 2 5 0 0 0 6 0 0 0\n";

}  // namespace

// Sky and ground, a sun, checks, a few lone white dots and a soft transparent
// corner: enough colour, edges, flat areas and alpha for every kind of effect to
// show itself.
Rgba test_picture() {
  Rgba out(size_t(kCellW) * kCellH * 4);
  for (int32_t y = 0; y < kCellH; ++y)
    for (int32_t x = 0; x < kCellW; ++x) {
      uint8_t* p = &out[(size_t(y) * kCellW + x) * 4];
      const bool ground = y > kCellH * 5 / 8 + int32_t(8 * std::sin(x * 0.06));
      int32_t r = ground ? 60 + x / 4 : 90 + y, g = ground ? 140 - y / 4 : 150 + y / 2, b = ground ? 50 : 235;
      const double sun = std::hypot(x - kCellW * 0.7, y - kCellH * 0.3);
      if (sun < 22) r = 250, g = 210, b = 60;
      if (x < 56 && y > 16 && y < 72 && (((x >> 3) + (y >> 3)) & 1)) r = g = b = 20;
      if (x % 37 == 18 && y % 29 == 14) r = g = b = 255;
      p[0] = uint8_t(std::min(r, 255)), p[1] = uint8_t(std::min(g, 255)), p[2] = uint8_t(std::min(b, 255));
      const int32_t corner = std::max(0, x - (kCellW - 48)) + std::max(0, y - (kCellH - 40));
      p[3] = uint8_t(255 - std::min(corner * 3, 200));
    }
  return out;
}

bool wants_flags(const char* name) {
  for (const char* n : {"Levels", "Channel", "Fader", "Clamp", "Reflection"})
    if (std::strcmp(n, name) == 0) return true;
  return false;
}

void open_canvas_with(const uint8_t* rgba, int32_t w, int32_t h) {
  CVL_CreateImage(nullptr, w, h, 64, 0);
  CVL_CreateLayer(1, w, h);
  CVL_CreateLayer(kCellSlot, w, h);
  CVL_SetLayer(kCellSlot);
  CVL_LoadRGBA32Layer(rgba, w * 4, kCellSlot, 0, 0, w, h, 0);
}

Rgba run_cell(const char* name, const char* frame, const Rgba& picture, const char* text, int32_t slider) {
  CVL_SetRandomSeed(1);
  open_canvas_with(picture.data(), kCellW, kCellH);
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  int32_t f[6] = {};
  if (wants_flags(name)) std::fill(f, f + 6, 1), f[0] = std::strcmp(name, "Reflection") != 0;
  CVL_IPLImageProcess(0, name, 1, slider, slider, slider, slider, slider, slider, 0, 1, f[0], f[1], f[2], f[3], f[4], f[5], 128, 64,
                      200, text);
  Rgba out(picture.size());
  if (std::strcmp(frame, "mask") == 0) {
    std::vector<uint16_t> mask(size_t(kCellW) * kCellH);
    CVL_GetMaskData16(mask.data());
    for (size_t i = 0; i < mask.size(); ++i) {
      std::fill_n(&out[i * 4], 3, uint8_t(mask[i] >> 8));
      out[i * 4 + 3] = 255;
    }
  } else {
    CVL_GetRGBA32Layer(out.data(), kCellW * 4, kCellSlot);
  }
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();
  CVL_DeleteImage();
  return out;
}

Rgba run_effect_cell(const char* name, const char* frame, const Rgba& picture, const char* text, int32_t& slider) {
  slider = 500;
  Rgba cell = run_cell(name, frame, picture, text, slider);
  if (cell == picture) cell = run_cell(name, frame, picture, text, slider = 700);
  return cell;
}

TempFile::TempFile(const char* contents, const char* suffix) : dir(make_scratch_dir("corvel-cell")) {
  if (dir.empty()) return;
  const std::string name = (std::filesystem::path(dir) / (std::string("cell") + suffix)).string();
  std::ofstream out(name, std::ios::binary);
  out << contents;
  out.close();
  if (out) path = name;
}

TempFile::~TempFile() {
  std::error_code ec;
  if (!dir.empty()) std::filesystem::remove_all(dir, ec);
}

CellScripts::CellScripts() : lua_(kLuaFilter, ".lua"), bricks_(kBrickScript, ".isc") {}

// Lua filters read a Lua script; every other effect that reads the text reads an image script.
const char* CellScripts::text_for(const char* frame, const char* reads) const {
  if (std::strcmp(frame, "lua") == 0) return lua_.path.c_str();
  if (reads && std::strstr(reads, "text")) return bricks_.path.c_str();
  return "";
}

const char* CellScripts::kind_of(const char* text) const {
  if (!*text) return "";
  return lua_.path == text ? "Lua script" : "brick image script";
}

}  // namespace corvel_tool
