// `corvel effect-sheet OUT.png`: every named effect run on one test picture with
// its described defaults (every slider at mid-range where it has none), laid out
// as a labelled contact sheet so a person can look at all of them at once. A cell
// whose effect left the picture as it was is framed in red and listed on stderr.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "corvel/corvel.h"
#include "effect_catalog.h"
#include "effect_cells.h"
#include "watch.h"

namespace corvel_tool {

namespace {

constexpr int32_t kLabelH = 18, kGap = 6, kColumns = 12;

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
  open_canvas_with(sheet.data(), w, h);
  CVL_ChooseFont();
  CVL_IPLAllocSrcBuffer32();
  for (size_t i = 0; i < names.size(); ++i) {
    const int32_t x = kGap + int32_t(i % kColumns) * (kCellW + kGap);
    const int32_t y = kGap + int32_t(i / kColumns) * (kCellH + kLabelH + kGap) + kCellH + 2;
    CVL_IPLText(20, 20, 20, x, y, 0, 0, 0, 0, names[i].c_str(), 1);
  }
  CVL_GetRGBA32Layer(sheet.data(), w * 4, kCellSlot);
  CVL_IPLFreeSrcBuffer32();
  CVL_DeleteImage();
  CVL_SetHostCallbacks(nullptr);
}

}  // namespace

int run_effect_sheet(const char* out_path) {
  if (!writable(out_path, kWritableExtensions)) return 1;
  const std::vector<Effect>& effects = effects_catalog();
  std::vector<std::string> names;
  for (const Effect& e : effects) names.push_back(e.name);
  const CellScripts scripts;
  const int32_t rows = int32_t(names.size() + kColumns - 1) / kColumns;
  const int32_t w = kGap + kColumns * (kCellW + kGap), h = kGap + rows * (kCellH + kLabelH + kGap);
  Rgba sheet(size_t(w) * h * 4, 255);
  const Rgba picture = test_picture();
  std::vector<std::string> unchanged;
  Watch watch("corvel effect-sheet", "effects");
  for (size_t i = 0; i < effects.size(); ++i) {
    CellSettings used;
    const char* text = scripts.text_for(effects[i].frame.c_str(), effects[i].reads.c_str());
    const Rgba cell = run_effect_cell(effects[i], picture, text, used);
    watch.step(i + 1, effects.size());
    const bool same = cell == picture;
    if (same) unchanged.push_back(names[i]);
    place(sheet, w, cell, kGap + int32_t(i % kColumns) * (kCellW + kGap),
          kGap + int32_t(i / kColumns) * (kCellH + kLabelH + kGap), same);
  }
  watch.stop();
  draw_labels(sheet, w, h, names);
  if (!write_rgba(sheet.data(), w, h, false, out_path, 96)) return 1;
  std::printf("%zu effects on %s (%d x %d), %zu left the picture unchanged\n", names.size(), out_path, w, h,
              unchanged.size());
  for (const std::string& n : unchanged) std::fprintf(stderr, "unchanged: %s\n", n.c_str());
  return 0;
}

}  // namespace corvel_tool
