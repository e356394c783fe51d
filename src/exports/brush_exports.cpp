// Tool settings, brush tips, the texture map and the blob conversion.
#include "brush/blob.h"
#include "brush/brush_shape.h"
#include "layers/texture_map.h"
#include "brush/tool_setters.h"
#include "core/engine.h"
#include "corvel/corvel.h"
#include "core/guard.h"
#include "core/tool_settings.h"

using namespace cvl;

extern "C" {

CVL_API void CVL_CALL CVL_SetTool(float tip_strength, int32_t grit_dot_size, int32_t grit_dot_chance,
                                  int32_t grit_dot_fill, int32_t tip_softness, int32_t color_vary,
                                  int32_t drawing_length, int32_t blend_strength, int32_t blend_primary_strength,
                                  int32_t blend_remix, int32_t flag11, int32_t tip_invert, int32_t flag13,
                                  const char* grit_path, const char* tip_path, int32_t tip_angle) {
  const ToolArgs args{tip_strength,   grit_dot_size, grit_dot_chance, grit_dot_fill,          tip_softness,
                      color_vary,     drawing_length, blend_strength, blend_primary_strength, blend_remix,
                      flag11,         tip_invert,    flag13,          grit_path,              tip_path,
                      tip_angle};
  guarded("SetTool Excpt", [&] { report_failure("SetTool", set_tool(engine(), tool(), args)); });
}

CVL_API void CVL_CALL CVL_SetBrushShape(const char* path, int32_t angle) {
  guarded("SetBrushShape Excpt", [&] {
    report_failure("SetBrushShape", set_brush_shape(engine(), tool(), path, angle, TipSource::ScriptOrImage));
  });
}

CVL_API void CVL_CALL CVL_SetBrushShape_ORIGINAL(const char* path, int32_t angle) {
  guarded("SetBrushShape Excpt", [&] {
    report_failure("SetBrushShape_ORIGINAL", set_brush_shape(engine(), tool(), path, angle, TipSource::ImageOnly));
  });
}

CVL_API uint8_t* CVL_CALL CVL_CreateTexture(int32_t layer) {
  return guarded("CreateTexture Excpt", static_cast<uint8_t*>(nullptr),
                 [&] { return create_texture(engine(), layer); });
}

CVL_API void CVL_CALL CVL_DeleteTexture(void) {
  guarded("DeleteTexture Excpt", [] { delete_texture(engine()); });
}

CVL_API int32_t CVL_CALL CVL_CreateBlobFromImage(int32_t layer, int32_t mode) {
  return guarded("CreateBlobFromImage Excpt", 0, [&] { return create_blob_from_image(engine(), layer, mode); });
}

CVL_API void CVL_CALL CVL_SetColor(int32_t r, int32_t g, int32_t b) { set_colour(tool(), r, g, b); }

CVL_API void CVL_CALL CVL_SetColor16(int32_t r, int32_t g, int32_t b) { set_colour16(tool(), r, g, b); }

CVL_API void CVL_CALL CVL_SetColorBanks(int32_t r0, int32_t g0, int32_t b0, int32_t r1, int32_t g1, int32_t b1,
                                        int32_t r2, int32_t g2, int32_t b2, int32_t r3, int32_t g3, int32_t b3) {
  const int32_t values[12] = {r0, g0, b0, r1, g1, b1, r2, g2, b2, r3, g3, b3};
  set_colour_banks(tool(), values);
}

CVL_API void CVL_CALL CVL_SetBlendStrength(int32_t s) { set_blend_strength(tool(), s); }

CVL_API void CVL_CALL CVL_SetBlendPrimaryColorStrength(int32_t s) { set_blend_primary_strength(tool(), s); }

CVL_API void CVL_CALL CVL_SetBlendRemix(int32_t b) { set_blend_remix(tool(), b); }

CVL_API void CVL_CALL CVL_SetDensity(int32_t d) { set_density(tool(), d); }

CVL_API void CVL_CALL CVL_SetAlpha(int32_t percent) { set_alpha(tool(), percent); }

CVL_API void CVL_CALL CVL_SetColorVary(int32_t v) { tool().color_vary = v; }

CVL_API void CVL_CALL CVL_SetAlphaLocked(int32_t v) { tool().alpha_locked = v; }

CVL_API void CVL_CALL CVL_SetColorLocked(int32_t v) { tool().color_locked = v; }

CVL_API void CVL_CALL CVL_SetBlobLocked(int32_t v) { tool().blob_locked = v; }

CVL_API void CVL_CALL CVL_SetAlphaLevel(int32_t v) { tool().alpha_level = v; }

CVL_API void CVL_CALL CVL_SetImageBrushMode(int32_t v) { tool().image_brush_mode = v; }

CVL_API void CVL_CALL CVL_SetSolidBrushMode(int32_t v) { tool().solid_mode = v; }

CVL_API void CVL_CALL CVL_SetRotateBrushMode(int32_t on, int32_t degrees) {
  set_rotate_brush_mode(tool(), on, degrees);
}

CVL_API void CVL_CALL CVL_SetMixMode(int32_t mode, int32_t strength) { set_mix_mode(tool(), mode, strength); }

CVL_API void CVL_CALL CVL_SetTracingMode(int32_t on) { engine().tracing_mode = static_cast<uint8_t>(on); }

CVL_API void CVL_CALL CVL_DecDrawingLength(void) { engine().drawing_length -= 1; }

CVL_API void CVL_CALL CVL_TempDisableBlend(void) { tool().blend_disabled_once = 1; }

CVL_API void CVL_CALL CVL_SetEraseModeOn(void) { tool().erase_once = 1; }

CVL_API void CVL_CALL CVL_SetMaskMakerOn(void) { tool().mask_maker_on = 1; }

CVL_API void CVL_CALL CVL_SetSize(int32_t size) { set_size(tool(), size); }

CVL_API void CVL_CALL CVL_SetScaleSize(int32_t n) { set_scale_size(tool(), n); }

CVL_API void CVL_CALL CVL_SetPixColorVary(int32_t v) {
  guarded("MakeRandArrayByte Excpt", [&] { set_pix_colour_vary(engine(), tool(), v); });
}

CVL_API void CVL_CALL CVL_SetPixLumVary(int32_t v) {
  guarded("MakeRandArrayByte Excpt", [&] { set_pix_lum_vary(engine(), tool(), v); });
}

}  // extern "C"
