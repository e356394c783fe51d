#include "layers/mix_mode_names.h"

#include <cstring>

namespace cvl {

namespace {

constexpr const char* kNames[kMixModeCount] = {
    "Normal",
    "Multiply",
    "Screen",
    "Darken",
    "Lighten",
    "Difference",
    "Negation",
    "Exclusion",
    "Overlay",
    "Hard Light",
    "Soft Light",
    "Dodge",
    "Burn",
    "Reflect",
    "Glow",
    "Add",
    "Subtract",
    "Texturize",
    "Texturize2",
    "Texturize3",
    "",  // 20 has no name
    "Alpha Filter",
    "Alpha Black Outline",
    "Alpha Outline Tint 1",
    "Alpha Outline Tint 2",
    "Alpha Invert",
    "Alpha Shader",
    "Alpha Shader Color",
    "Alpha Shader Texture2",
    "Alpha Highlight Texture2",
    "Alpha Smooth",
    "Alpha Smooth Lum",
    "Alpha Smooth Lum2",
    "Alpha Smooth Lum3",
    "Alpha Smooth Lum4",
    "Alpha Smooth Lum5",
    "Alpha Overlay Outline",
    "Alpha Highlight",
    "Layer Mask",
    "Luminance Alpha",
    "Luminance Alpha Invert",
};

}  // namespace

int32_t mode_from_name(const char* name) {
  if (!name || !*name) return 0;
  for (int32_t i = 0; i < kMixModeCount; ++i)
    if (std::strcmp(name, kNames[i]) == 0) return i;
  return 0;
}

const char* mode_name(int32_t mode) { return (mode >= 0 && mode < kMixModeCount) ? kNames[mode] : ""; }

}  // namespace cvl
