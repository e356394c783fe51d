#include "effects/inhouse_effects.h"

#include <cstring>
#include <string_view>

#include "core/engine.h"
#include "effects/inhouse_library.h"
#include "layers/ipl_images.h"

namespace cvl {
namespace {

struct NamedEffect {
  std::string_view name;
  InhouseEffect run;
  // Reading the source, the effect writes every destination pixel, so the
  // destination needs no copy of the source first.
  bool writes_all = false;
};

// Names are matched whole and case-sensitively.
constexpr NamedEffect kEffects[] = {
    {"Grayscale", inhouse_grayscale, true},
    {"Invert", inhouse_invert, true},
    {"Basic Threshold", inhouse_basic_threshold, true},
    {"Clamp", inhouse_clamp, true},
    {"Channel", inhouse_channel, true},
    {"Adjust Lab", inhouse_adjust_lab, true},
    {"Value Blur", inhouse_value_blur},
    {"Anti Alias", inhouse_anti_alias},
    {"Noise Reduction", inhouse_noise_reduction},
    {"Noise Reduction RGB", inhouse_noise_reduction_rgb},
    {"Adaptive Blur", inhouse_adaptive_blur},
    {"Detail Blur", inhouse_detail_blur},
    {"Line Art Cleaner", inhouse_line_art_cleaner},
    {"Mask Detail", inhouse_mask_detail},
    {"Borderize", inhouse_borderize},
    {"Vignette", inhouse_vignette},
    {"Reflection", inhouse_reflection},
    {"Fader", inhouse_fader},
    {"Hyper Contrast", inhouse_hyper_contrast, true},
    {"Bas Relief", inhouse_bas_relief},
};

const NamedEffect* find_effect(const char* name) {
  if (!name) return nullptr;
  const std::string_view wanted(name);
  for (const NamedEffect& e : kEffects) {
    if (e.name == wanted) return &e;
  }
  return nullptr;
}

InhouseParams make_params(uint8_t copy, const InhouseArgs& args, int32_t width, int32_t height) {
  InhouseParams p;
  p.copy = copy;
  for (int i = 0; i < 6; ++i) {
    p.p[i] = args.s[i] * 0.001;
    p.f[i] = args.f[i];
  }
  p.option = args.option;
  p.i2 = args.i2;
  p.r = args.r * (1.0 / 255.0);
  p.g = args.g * (1.0 / 255.0);
  p.b = args.b * (1.0 / 255.0);
  p.left = 0;
  p.top = 0;
  p.right = width - 1;
  p.bottom = height - 1;
  p.width = width;
  p.height = height;
  return p;
}

}  // namespace

int32_t inhouse_entry(Engine& canvas, const ToolSettings& tool, const char* name, uint8_t copy,
                      const InhouseArgs& args) {
  uint8_t* src = ipl_buffer(canvas, IplBuffer::Src32);
  uint8_t* dst = ipl_buffer(canvas, IplBuffer::Dst32);
  if (!src || !dst) return 0;
  const int32_t width = canvas.canvas_width;
  const int32_t height = canvas.canvas_height;
  InhouseParams params = make_params(copy, args, width, height);
  const NamedEffect* effect = find_effect(name);
  if (copy == 0 && !(effect && effect->writes_all)) std::memcpy(dst, src, canvas.canvas_pixels() * 4);
  if (!effect) return 0;
  effect->run(params, InhouseImages{src, dst, width, height, &canvas, &tool});
  return 1;
}

}  // namespace cvl
