// The mask: switches, whole-mask operations, mask <-> layer, builders from
// caller images, and applying the mask to caller alpha.
#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"
#include "mask/mask_alpha.h"
#include "mask/mask_builders.h"
#include "mask/mask_layer.h"
#include "mask/mask_ops.h"
#include "mask/mask_state.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_EnableMask(int32_t flag) { return enable_mask(engine(), flag); }
CVL_API int32_t CVL_CALL CVL_DisplayMask(int32_t flag) { return display_mask(flag); }
CVL_API void CVL_CALL CVL_SetMaskOptions(int32_t r1, int32_t g1, int32_t b1, int32_t r2, int32_t g2, int32_t b2,
                                         int32_t full) {
  set_mask_options(r1, g1, b1, r2, g2, b2, full);
}

CVL_API void CVL_CALL CVL_ClearMask(int32_t r, int32_t g, int32_t b) {
  guarded("ClearMask Excpt", [&] { clear_mask(engine(), r, g, b); });
}
CVL_API void CVL_CALL CVL_InvertMask(void) {
  guarded("InvertMask Excpt", [] { invert_mask(engine()); });
}
CVL_API void CVL_CALL CVL_SaveMask(uint8_t* dst, int32_t pitch) {
  guarded("SaveMask Excpt", [&] { save_mask(engine(), dst, pitch); });
}
CVL_API void CVL_CALL CVL_LoadMask(const uint8_t* src, int32_t pitch, int32_t width, int32_t height) {
  guarded("LoadMask Excpt", [&] { load_mask(engine(), src, pitch, width, height); });
}

CVL_API void CVL_CALL CVL_CreateMaskFromImage(void) {
  guarded("CreateMaskFromImage Excpt", [] { create_mask_from_image(engine()); });
}
CVL_API void CVL_CALL CVL_CreateImageFromMask(void) {
  guarded("CreateImageFromMask Excpt", [] { create_image_from_mask(engine()); });
}
CVL_API void CVL_CALL CVL_CreateAlphaFromMask(void) {
  guarded("CreateAlphaFromMask Excpt", [] { create_alpha_from_mask(engine()); });
}
CVL_API void CVL_CALL CVL_CreateMaskFromAlpha(void) {
  guarded("CreateMaskFromAlpha Excpt", [] { create_mask_from_alpha(engine()); });
}

CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageColor(const uint8_t* image, int32_t c0, int32_t c1, int32_t c2,
                                                          int32_t strength) {
  return guarded("CreateMaskFromRGBAImageColor Excpt", 0,
                 [&] { return mask_from_rgba_colour(engine(), image, c0, c1, c2, strength); });
}
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGB24ImageColor(const uint8_t* image, int32_t c0, int32_t c1, int32_t c2,
                                                           int32_t strength) {
  return guarded("CreateMaskFromRGB24ImageColor Excpt", 0,
                 [&] { return mask_from_rgb24_colour(engine(), image, c0, c1, c2, strength); });
}
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageColorRange(const uint8_t* image, int32_t c0, int32_t c1, int32_t c2,
                                                               int32_t tolerance, int32_t strength) {
  return guarded("CreateMaskFromRGBAImageColorRange Excpt", 0,
                 [&] { return mask_from_rgba_colour_range(engine(), image, c0, c1, c2, tolerance, strength); });
}
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageAlphaRange(const uint8_t* image, int32_t alpha, int32_t tolerance,
                                                               int32_t strength) {
  return guarded("CreateMaskFromRGBAImageAlphaRange Excpt", 0,
                 [&] { return mask_from_rgba_alpha_range(engine(), image, alpha, tolerance, strength); });
}
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageLuminanceRange(const uint8_t* image, int32_t c0, int32_t c1,
                                                                   int32_t c2, int32_t tolerance, int32_t strength) {
  return guarded("CreateMaskFromRGBAImageLuminanceRange Excpt", 0,
                 [&] { return mask_from_rgba_luminance_range(engine(), image, c0, c1, c2, tolerance, strength); });
}
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageHueRange(const uint8_t* image, int32_t c0, int32_t c1, int32_t c2,
                                                             int32_t tolerance, int32_t strength) {
  return guarded("CreateMaskFromRGBAImageHueRange Excpt", 0,
                 [&] { return mask_from_rgba_hue_range(engine(), image, c0, c1, c2, tolerance, strength); });
}
CVL_API int32_t CVL_CALL CVL_CreateMaskFromRGBAImageHSLRange(const uint8_t* image, int32_t c0, int32_t c1, int32_t c2,
                                                             double hue_tol, double sat_tol, double light_tol,
                                                             int32_t strength) {
  return guarded("CreateMaskFromRGBAImageHSLRange Excpt", 0, [&] {
    return mask_from_rgba_hsl_range(engine(), image, c0, c1, c2, hue_tol, sat_tol, light_tol, strength);
  });
}
CVL_API int32_t CVL_CALL CVL_CreateMaskFromFloodMask(const uint8_t* flood_map, int32_t strength) {
  return guarded("CreateMaskFromFloodMask Excpt", 0,
                 [&] { return mask_from_flood_map(engine(), flood_map, strength); });
}
CVL_API int32_t CVL_CALL CVL_CreateMaskFromDiff_RGBA32(const uint8_t* a, const uint8_t* b, int32_t value) {
  return guarded("CreateMaskFromDiff_RGBA32 Excpt", 0, [&] { return mask_from_diff_rgba32(engine(), a, b, value); });
}

CVL_API void CVL_CALL CVL_ApplyMaskToAlphaRect_RGBA32(uint8_t* buffer, int32_t pitch, int32_t x0, int32_t y0,
                                                      int32_t x1, int32_t y1) {
  guarded("ApplyMaskToAlphaRect_RGBA32 Excpt",
          [&] { apply_mask_to_alpha_rect(engine(), buffer, pitch, x0, y0, x1, y1); });
}
CVL_API void CVL_CALL CVL_ApplyMaskToAlpha_RGBA32(uint8_t* buffer) {
  guarded("ApplyMaskToAlpha_RGBA32 Excpt", [&] { apply_mask_to_alpha(engine(), buffer); });
}
CVL_API void CVL_CALL CVL_ReplaceFromRGBAImageAlphaRange(uint8_t* image, int32_t alpha, int32_t tolerance, int32_t r,
                                                         int32_t g, int32_t b, int32_t a) {
  guarded("ReplaceFromRGBAImageAlphaRange Excpt",
          [&] { replace_from_rgba_alpha_range(engine(), image, alpha, tolerance, r, g, b, a); });
}

}  // extern "C"
