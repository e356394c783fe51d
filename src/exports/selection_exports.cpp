// Selection shapes, the magic wand and the paint bucket, and the two region
// passes they are built from.
#include "corvel/corvel.h"
#include "exports/arguments.h"
#include "core/engine.h"
#include "core/guard.h"
#include "mask/magic_wand.h"
#include "mask/paint_bucket.h"
#include "mask/region_colour.h"
#include "mask/selection_shapes.h"

using namespace cvl;

extern "C" {

CVL_API void CVL_CALL CVL_IPLMaskRectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t strength) {
  guarded("IPLMaskRectangle Excpt", [&] { mask_rectangle(engine(), x0, y0, x1, y1, strength); });
}
CVL_API void CVL_CALL CVL_IPLMaskEllipse(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t strength) {
  guarded("IPLMaskEllipse Excpt", [&] { mask_ellipse(engine(), x0, y0, x1, y1, strength); });
}
CVL_API void CVL_CALL CVL_IPLMaskWand(int32_t x, int32_t y, int32_t tolerance, int32_t strength, const char* mode) {
  guarded("IPLMaskWand Excpt", [&] { mask_wand(engine(), x, y, tolerance, strength, mode); });
}
CVL_API void CVL_CALL CVL_IPLFloodFill(int32_t r, int32_t g, int32_t b, int32_t x, int32_t y, int32_t tolerance,
                                       const char* mode) {
  guarded("IPLFloodFill Excpt", [&] { paint_bucket(engine(), r, g, b, x, y, tolerance, mode); });
}
CVL_API void CVL_CALL CVL_ColorRGBA32FromFloodMask(uint8_t* image, const uint8_t* flood_map, int32_t r, int32_t g,
                                                   int32_t b, int32_t a) {
  guarded("ColorRGBA32FromFloodMask Excpt",
          [&] { colour_rgba32_from_flood_map(engine(), image, flood_map, u8(r), u8(g), u8(b), u8(a)); });
}
CVL_API void CVL_CALL CVL_SetAlphaFromRGBAImageColor(uint8_t* image, int32_t r, int32_t g, int32_t b) {
  guarded("SetAlphaFromRGBAImageColor Excpt", [&] { clear_alpha_of_colour(engine(), image, u8(r), u8(g), u8(b)); });
}

}  // extern "C"
