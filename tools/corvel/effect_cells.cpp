#include "effect_cells.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "arguments.h"
#include "corvel/corvel.h"
#include "effect_catalog.h"
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

namespace {

bool wants_flags(const std::string& name) {
  for (const char* n : {"Levels", "Channel", "Fader", "Clamp", "Reflection"})
    if (name == n) return true;
  return false;
}

}  // namespace

CellSettings even_settings(const Effect& e, int32_t slider) {
  CellSettings s;
  std::fill(s.sliders, s.sliders + 6, slider);
  if (wants_flags(e.name)) std::fill(s.flags, s.flags + 6, 1), s.flags[0] = e.name != "Reflection";
  return s;
}

bool described_settings(const Effect& e, CellSettings& out) {
  if (e.description.empty()) return false;
  out = even_settings(e, 500);
  out.described = true;
  for (const EffectArgument& a : e.arguments) {
    if (!a.described) continue;
    const auto whole = static_cast<int32_t>(std::lround(a.def));
    if (a.is_slider()) out.sliders[a.id[1] - '1'] = static_cast<int32_t>(std::lround(a.def * 10));
    else if (a.id[0] == 'f') out.flags[a.id[1] - '1'] = whole;
    else if (a.id == "option") out.option = whole;
    else if (a.id == "i1") out.i1 = whole;
    else if (a.id == "i2") out.i2 = whole;
  }
  return true;
}

std::string settings_text(const Effect& e, const CellSettings& s) {
  std::string sliders, flags;
  for (const EffectArgument& a : e.arguments) {
    if (a.is_slider() && s.described && a.described) {
      const double v = s.sliders[a.id[1] - '1'] / 10.0;
      (sliders += sliders.empty() ? "" : ", ") += (a.name.empty() ? a.id : a.name) + " " + number_text(v) +
                                                   (a.unit.empty() ? "" : " " + a.unit);
    } else if (a.is_slider()) {
      (sliders += sliders.empty() ? "" : ", ") += a.id;
    } else if (a.id[0] == 'f' && s.flags[a.id[1] - '1']) {
      (flags += flags.empty() ? "; " : ", ") += a.id + " on";
    } else if ((a.id == "option" || a.id[0] == 'i') && s.described && a.described) {
      const int32_t v = a.id == "option" ? s.option : a.id == "i1" ? s.i1 : s.i2;
      (flags += flags.empty() ? "; " : ", ") += (a.name.empty() ? a.id : a.name) + " " + std::to_string(v);
    }
  }
  if (!s.described && !sliders.empty()) sliders += " at " + number_text(s.sliders[0] / 10.0);
  std::string out = sliders.empty() ? "no sliders" : sliders;
  if (e.reads_argument("colour")) out += "; colour 128, 64, 200";
  return out + flags;
}

void open_canvas_with(const uint8_t* rgba, int32_t w, int32_t h) {
  CVL_CreateImage(nullptr, w, h, 64, 0);
  CVL_CreateLayer(1, w, h);
  CVL_CreateLayer(kCellSlot, w, h);
  CVL_SetLayer(kCellSlot);
  CVL_LoadRGBA32Layer(rgba, w * 4, kCellSlot, 0, 0, w, h, 0);
}

Rgba run_cell(const Effect& e, const Rgba& picture, const char* text, const CellSettings& s) {
  CVL_SetRandomSeed(1);
  open_canvas_with(picture.data(), kCellW, kCellH);
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  const int32_t* v = s.sliders;
  const int32_t* f = s.flags;
  CVL_IPLImageProcess(0, e.name.c_str(), s.i1, v[0], v[1], v[2], v[3], v[4], v[5], s.option, s.i2, f[0], f[1], f[2],
                      f[3], f[4], f[5], s.rgb[0], s.rgb[1], s.rgb[2], text);
  Rgba out(picture.size());
  if (e.frame == "mask") {
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

Rgba run_effect_cell(const Effect& e, const Rgba& picture, const char* text, CellSettings& used) {
  Rgba cell;
  if (described_settings(e, used)) {
    cell = run_cell(e, picture, text, used);
    if (cell != picture) return cell;
  }
  for (const int32_t slider : {500, 700}) {
    used = even_settings(e, slider);
    cell = run_cell(e, picture, text, used);
    if (cell != picture) break;
  }
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
