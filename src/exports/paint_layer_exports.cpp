// The paint layer, the blend buffer and the filter preparation helpers.
#include "corvel/corvel.h"
#include "exports/arguments.h"
#include "core/engine.h"
#include "core/guard.h"
#include "core/tool_settings.h"
#include "layers/blend_buffer.h"
#include "layers/filter_prep.h"
#include "layers/paint_layer.h"

using namespace cvl;

extern "C" {

CVL_API void CVL_CALL CVL_CreatePaintLayer(int32_t opacity_percent, const char* mode_name) {
  guarded("CreatePaintLayer Excpt", [&] { create_paint_layer(engine(), opacity_percent, mode_name); });
}
CVL_API void CVL_CALL CVL_ClearPaintLayer(void) {
  guarded("ClearPaintLayer Excpt", [] { clear_paint_layer(engine()); });
}
CVL_API void CVL_CALL CVL_ClearPaintLayer_old(void) {
  guarded("ClearPaintLayer_old Excpt", [] { clear_paint_layer_old(engine()); });
}
CVL_API void CVL_CALL CVL_DeletePaintLayer(void) {
  guarded("DeletePaintLayer Excpt", [] { delete_paint_layer(engine()); });
}
CVL_API void CVL_CALL CVL_MergePaintLayer(int32_t slot) {
  guarded("MergePaintLayer Excpt", [&] { merge_paint_layer(engine(), slot); });
}
CVL_API void CVL_CALL CVL_BlurPaintLayerAlpha(void) {
  guarded("BlurPaintLayerAlpha Excpt", [] { blur_paint_layer_alpha(engine()); });
}

CVL_API int32_t CVL_CALL CVL_CopyBlendBufferSurface(int32_t x, int32_t y, int32_t amount, int32_t pick_up) {
  return guarded("CopyBlendBufferSurface Excpt", 0,
                 [&] { return copy_blend_buffer_surface(engine(), tool(), x, y, amount, low_byte_set(pick_up)); });
}
CVL_API int32_t CVL_CALL CVL_CopyBlendBufferLayer(int32_t slot, int32_t x, int32_t y, int32_t amount) {
  return guarded("CopyBlendBufferLayer Excpt", 0,
                 [&] { return copy_blend_buffer_layer(engine(), tool(), slot, x, y, amount); });
}
CVL_API int32_t CVL_CALL CVL_CopyBlendBufferUnderLayer(int32_t x, int32_t y, int32_t amount) {
  return guarded("CopyBlendBufferUnderLayer Excpt", 0,
                 [&] { return copy_blend_buffer_under_layer(engine(), tool(), x, y, amount); });
}
CVL_API int32_t CVL_CALL CVL_CopyBlendBufferTrace(int32_t x, int32_t y, int32_t amount) {
  return guarded("CopyBlendBufferTrace Excpt", 0,
                 [&] { return copy_blend_buffer_trace(engine(), tool(), x, y, amount); });
}
CVL_API int32_t CVL_CALL CVL_DoCopyBlendBuffer(int32_t x, int32_t y, const uint16_t* source, int32_t amount,
                                               int32_t pick_up) {
  return guarded("DoCopyBlendBuffer Excpt", 0,
                 [&] { return do_copy_blend_buffer(engine(), tool(), x, y, source, amount, low_byte_set(pick_up)); });
}
CVL_API int32_t CVL_CALL CVL_DoCopyBlendBufferMask(int32_t x, int32_t y, int32_t amount) {
  return guarded("DoCopyBlendBufferMask Excpt", 0,
                 [&] { return do_copy_blend_buffer_mask(engine(), tool(), x, y, amount); });
}
CVL_API void CVL_CALL CVL_ClearBlendBuffer(void) {
  guarded("ClearBlendBuffer Excpt", [] { clear_blend_buffer(engine()); });
}
CVL_API void CVL_CALL CVL_FilterBlendBuffer(int32_t kind, int32_t level_percent) {
  guarded("FilterBlendBuffer Excpt", [&] { filter_blend_buffer(engine(), tool(), kind, level_percent); });
}

CVL_API void CVL_CALL CVL_AdjustRGBA32PreFilter(uint8_t* image, int32_t width, int32_t height) {
  guarded("AdjustRGBA32PreFilter Excpt", [&] { adjust_rgba32_pre_filter(image, width, height); });
}
CVL_API void CVL_CALL CVL_AdjustRGBA32PostFilter(uint8_t* image, int32_t width, int32_t height) {
  guarded("AdjustRGBA32PostFilter Excpt", [&] { adjust_rgba32_post_filter(image, width, height); });
}
CVL_API void CVL_CALL CVL_AdjustRGBA64PreFilter(uint16_t* image, int32_t width, int32_t height) {
  guarded("AdjustRGBA64PreFilter Excpt", [&] { adjust_rgba64_pre_filter(image, width, height); });
}
CVL_API void CVL_CALL CVL_AdjustRGBA64PostFilter(uint16_t* image, int32_t width, int32_t height) {
  guarded("AdjustRGBA64PostFilter Excpt", [&] { adjust_rgba64_post_filter(image, width, height); });
}
CVL_API void CVL_CALL CVL_AdjustRGBA32ForAlphaComp(int32_t flag, uint8_t* image) {
  guarded("AdjustRGBA32ForAlphaComp Excpt", [&] { adjust_rgba32_for_alpha_comp(engine(), flag, image); });
}
CVL_API void CVL_CALL CVL_AdjustRGBA32ByMaskAndTexture(uint8_t* image, int32_t width, int32_t height) {
  guarded("AdjustRGBA32ByMaskAndTexture Excpt",
          [&] { adjust_rgba32_by_mask_and_texture(engine(), image, width, height); });
}
CVL_API void CVL_CALL CVL_AdjustRGBA32RectByMaskAndTexture(uint8_t* image, int32_t x, int32_t y, int32_t width,
                                                           int32_t height) {
  guarded("AdjustRGBA32RectByMaskAndTexture Excpt",
          [&] { adjust_rgba32_rect_by_mask_and_texture(engine(), image, x, y, width, height); });
}
CVL_API void CVL_CALL CVL_SetColorAlpha(int32_t r, int32_t g, int32_t b) {
  guarded("SetColorAlpha Excpt", [&] { set_colour_alpha(engine(), u8(r), u8(g), u8(b)); });
}
CVL_API void CVL_CALL CVL_SetColorAlphaRGBABuf(uint8_t* image, int32_t width, int32_t height, int32_t r, int32_t g,
                                               int32_t b) {
  guarded("SetColorAlphaRGBABuf Excpt", [&] { set_colour_alpha_rgba_buf(image, width, height, u8(r), u8(g), u8(b)); });
}
CVL_API void CVL_CALL CVL_SetColorRGBABuf(uint8_t* image, int32_t width, int32_t height, int32_t r, int32_t g,
                                          int32_t b) {
  guarded("SetColorRGBABuf Excpt", [&] { set_colour_rgba_buf(image, width, height, u8(r), u8(g), u8(b)); });
}

}  // extern "C"
