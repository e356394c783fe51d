// Dabs: one brush stamp per call, into the paint layer, the current layer or the mask.
#include "brush/dab.h"
#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"
#include "core/tool_settings.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_DrawDabGrit(int32_t x, int32_t y, int32_t r, int32_t g, int32_t b) {
  return guarded("DrawDabGrit Excpt", 0, [&] {
    draw_dab_grit(engine(), tool(), x, y, r, g, b);
    return 0;
  });
}

CVL_API int32_t CVL_CALL CVL_DrawDabGritMask(int32_t x, int32_t y) {
  return guarded("DrawDabGritMask Excpt", 0, [&] {
    draw_dab_grit_mask(engine(), tool(), x, y);
    return 0;
  });
}

}  // extern "C"
