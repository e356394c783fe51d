#include "mask/mask_state.h"

namespace cvl {

MaskDisplay& mask_display() {
  static MaskDisplay display;
  return display;
}

int32_t enable_mask(Engine& e, int32_t flag) {
  e.mask_enabled = static_cast<uint8_t>(flag);
  return flag;
}

int32_t display_mask(int32_t flag) {
  mask_display().shown = static_cast<uint8_t>(flag);
  return flag;
}

void set_mask_options(int32_t r1, int32_t g1, int32_t b1, int32_t r2, int32_t g2, int32_t b2, int32_t full) {
  MaskDisplay& d = mask_display();
  const int32_t values[2][3] = {{r1, g1, b1}, {r2, g2, b2}};
  for (int c = 0; c < 2; ++c) {
    for (int ch = 0; ch < 3; ++ch) d.colours[c][ch] = static_cast<uint16_t>(static_cast<uint32_t>(values[c][ch]) << 8);
  }
  d.full_strength = static_cast<uint16_t>(full);
}

}  // namespace cvl
