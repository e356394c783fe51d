#include "brushes.h"

#include <fstream>

#include "corvel/corvel.h"

namespace corvel_paint {

const std::vector<BrushPreset>& brush_presets() {
  static const std::vector<BrushPreset> presets = [] {
    std::vector<BrushPreset> p(6);
    p[0].name = "soft round";
    p[0].softness = 255;
    p[0].spacing = 0.1;
    p[1].name = "hard round";
    p[2].name = "dry brush";
    p[2].softness = 40;
    p[2].grit_dot = 2;
    p[2].grit_chance = 150;
    p[2].grit_fill = 230;
    p[2].density = 236;
    p[2].spacing = 0.15;
    p[3].name = "bristle";
    p[3].bristle = true;
    p[3].spacing = 0.06;
    p[3].follow_direction = true;
    p[4].name = "smudge";
    p[4].softness = 200;
    p[4].smudge = true;
    p[4].spacing = 0.08;
    p[5].name = "eraser";
    p[5].softness = 120;
    p[5].eraser = true;
    return p;
  }();
  return presets;
}

void apply_brush(const BrushPreset& preset, int size, int dab_opacity, const std::string& bristle_tip) {
  // The tip and the grit patterns are built at the current size, so the size comes first.
  CVL_SetSize(size);
  CVL_SetScaleSize(size);
  const char* tip = preset.bristle ? bristle_tip.c_str() : "";
  // Smudging: blend strength 230 of 256 carries picked-up colour, and remix writes each
  // painted result back into the blend buffer so the colour travels with the brush.
  const int blend = preset.smudge ? 230 : 0, remix = preset.smudge ? 1 : 0;
  CVL_SetTool(1.0f, preset.grit_dot, preset.grit_chance, preset.grit_fill, preset.softness, 0, 3, blend, 0, remix, 0,
              0, 0, "", tip, 0);
  CVL_SetDensity(preset.density);
  CVL_SetAlpha(dab_opacity);
  CVL_SetMixMode(32, 256);
  CVL_SetRotateBrushMode(0, 0);
}

std::string write_bristle_tip(const std::string& dir) {
  // A flat brush: a column of bristles of uneven strength, with grain. The engine
  // renders the script at load time, so the tip needs no image file.
  const std::string path = dir + "/bristle.isc";
  std::ofstream out(path);
  out << "imagescript 1\nsize 48 48\nseed 7\nfill 0 0 0 255\n";
  static const double offsets[] = {0.8, -1.6, 2.1, -0.4, 1.3, -2.2, 0.2, 1.9, -1.1, 0.6, -1.8, 1.0, -0.3, 2.3, -0.9};
  static const double radii[] = {2.1, 2.8, 1.6, 3.0, 2.3, 1.4, 2.6, 1.9, 3.1, 2.0, 1.5, 2.7, 2.2, 1.7, 2.9};
  static const int strengths[] = {230, 160, 255, 190, 120, 240, 200, 140, 250, 175, 220, 130, 210, 245, 150};
  for (int i = 0; i < 15; ++i) {
    const int v = strengths[i];
    out << "circle " << 24 + offsets[i] << ' ' << 5 + i * 2.7 << ' ' << radii[i] << ' ' << v << ' ' << v << ' ' << v
        << " 255 1.5\n";
  }
  out << "noise 30 3\n";
  return out ? path : "";
}

}  // namespace corvel_paint
