// `corvel effect-sheet OUT.png`: every named effect run on one test picture with
// its sliders at mid-range, laid out as a labelled contact sheet so a person can
// look at all of them at once. A cell whose effect left the picture as it was is
// framed in red and listed on stderr.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "commands.h"
#include "corvel/corvel.h"

namespace corvel_tool {

namespace {

constexpr int32_t kCellW = 192, kCellH = 144, kLabelH = 18, kGap = 6, kColumns = 12;
constexpr int32_t kSlot = 2;

using Rgba = std::vector<uint8_t>;

// Sky and ground, a sun, checks, a few lone white specks and a soft transparent
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

// Rows whose flags all start cleared, which leaves the picture alone by design.
bool wants_flags(const char* name) {
  for (const char* n : {"Levels", "Channel", "Fader", "Clamp", "Reflection"})
    if (std::strcmp(n, name) == 0) return true;
  return false;
}

// Runs effect `name` on the test picture with `text` as its script path; the
// layer after it (or the mask, as grey, for effects that build the mask).
Rgba run_cell(const char* name, const char* frame, const Rgba& picture, const char* text, int32_t slider) {
  CVL_SetRandomSeed(1);
  CVL_CreateImage(nullptr, kCellW, kCellH, 64, 0);
  CVL_CreateLayer(1, kCellW, kCellH);
  CVL_CreateLayer(kSlot, kCellW, kCellH);
  CVL_SetLayer(kSlot);
  CVL_LoadRGBA32Layer(picture.data(), kCellW * 4, kSlot, 0, 0, kCellW, kCellH, 0);
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
    CVL_GetRGBA32Layer(out.data(), kCellW * 4, kSlot);
  }
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();
  CVL_DeleteImage();
  return out;
}

// Puts a cell's pixels over a grey checkerboard at (x0, y0) of the sheet, with a
// red frame when `flag` is set.
void place(Rgba& sheet, int32_t sheet_w, const Rgba& cell, int32_t x0, int32_t y0, bool flag) {
  for (int32_t y = 0; y < kCellH; ++y)
    for (int32_t x = 0; x < kCellW; ++x) {
      const uint8_t* s = &cell[(size_t(y) * kCellW + x) * 4];
      uint8_t* d = &sheet[(size_t(y0 + y) * sheet_w + x0 + x) * 4];
      const int32_t back = (((x >> 3) + (y >> 3)) & 1) ? 200 : 150;
      for (int c = 0; c < 3; ++c) d[c] = uint8_t((s[c] * s[3] + back * (255 - s[3]) + 127) / 255);
      d[3] = 255;
      if (flag && (x < 3 || y < 3 || x >= kCellW - 3 || y >= kCellH - 3)) d[0] = 230, d[1] = d[2] = 0;
    }
}

// Labels through the engine's own text drawing, in a small sans-serif face the
// font chooser hands back without asking anyone.
int32_t label_font(void*, void* logfont, uint32_t* error) {
  std::memset(logfont, 0, 60);
  const int32_t height = -12;
  std::memcpy(logfont, &height, 4);
  std::strcpy(static_cast<char*>(logfont) + 28, "DejaVu Sans");
  if (error) *error = 0;
  return 1;
}

void draw_labels(Rgba& sheet, int32_t w, int32_t h, const std::vector<std::string>& names) {
  CVL_HostCallbacks callbacks{};
  callbacks.size = sizeof callbacks;
  callbacks.choose_font = label_font;
  CVL_SetHostCallbacks(&callbacks);
  CVL_CreateImage(nullptr, w, h, 64, 0);
  CVL_CreateLayer(1, w, h);
  CVL_CreateLayer(kSlot, w, h);
  CVL_SetLayer(kSlot);
  CVL_LoadRGBA32Layer(sheet.data(), w * 4, kSlot, 0, 0, w, h, 0);
  CVL_ChooseFont();
  CVL_IPLAllocSrcBuffer32();
  for (size_t i = 0; i < names.size(); ++i) {
    const int32_t x = kGap + int32_t(i % kColumns) * (kCellW + kGap);
    const int32_t y = kGap + int32_t(i / kColumns) * (kCellH + kLabelH + kGap) + kCellH + 2;
    CVL_IPLText(20, 20, 20, x, y, 0, 0, 0, 0, names[i].c_str(), 1);
  }
  CVL_GetRGBA32Layer(sheet.data(), w * 4, kSlot);
  CVL_IPLFreeSrcBuffer32();
  CVL_DeleteImage();
  CVL_SetHostCallbacks(nullptr);
}

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

// A temporary file holding `contents`, its name ending in `suffix`, removed with
// the object; the path is empty when it could not be written.
struct TempFile {
  std::string path;
  TempFile(const char* contents, const char* suffix) {
    std::string name = std::string("/tmp/corvel-sheet-XXXXXX") + suffix;
    const int fd = mkstemps(name.data(), int(std::strlen(suffix)));
    if (fd < 0) return;
    const size_t n = std::strlen(contents);
    const bool ok = write(fd, contents, n) == ssize_t(n);
    close(fd);
    if (ok) path = name;
    else unlink(name.c_str());
  }
  ~TempFile() {
    if (!path.empty()) unlink(path.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
};

}  // namespace

int run_effect_sheet(const char* out_path) {
  std::vector<std::string> names, frames, texts;
  const TempFile lua(kLuaFilter, ".lua"), bricks(kBrickScript, ".isc");
  const char* frame = nullptr;
  const char* reads = nullptr;
  for (int32_t i = 0; const char* name = CVL_IPLEffectInfo(i, &frame, &reads); ++i) {
    names.emplace_back(name);
    frames.emplace_back(frame);
    // Lua filters read a Lua script; every other effect that reads the text reads an image script.
    const bool lua_cell = std::strcmp(frame, "lua") == 0, script_cell = reads && std::strstr(reads, "text");
    texts.emplace_back(lua_cell ? lua.path : script_cell ? bricks.path : "");
  }
  const int32_t rows = int32_t(names.size() + kColumns - 1) / kColumns;
  const int32_t w = kGap + kColumns * (kCellW + kGap), h = kGap + rows * (kCellH + kLabelH + kGap);
  Rgba sheet(size_t(w) * h * 4, 255);
  const Rgba picture = test_picture();
  std::vector<std::string> unchanged;
  for (size_t i = 0; i < names.size(); ++i) {
    // Some tone effects are neutral exactly at 50: those show themselves at 70.
    Rgba cell = run_cell(names[i].c_str(), frames[i].c_str(), picture, texts[i].c_str(), 500);
    if (cell == picture) cell = run_cell(names[i].c_str(), frames[i].c_str(), picture, texts[i].c_str(), 700);
    const bool same = cell == picture;
    if (same) unchanged.push_back(names[i]);
    place(sheet, w, cell, kGap + int32_t(i % kColumns) * (kCellW + kGap),
          kGap + int32_t(i / kColumns) * (kCellH + kLabelH + kGap), same);
  }
  draw_labels(sheet, w, h, names);
  if (!write_rgba(sheet.data(), w, h, false, out_path, 96)) return 1;
  std::printf("%zu effects on %s (%d x %d), %zu left the picture unchanged\n", names.size(), out_path, w, h,
              unchanged.size());
  for (const std::string& n : unchanged) std::fprintf(stderr, "unchanged: %s\n", n.c_str());
  return 0;
}

}  // namespace corvel_tool
