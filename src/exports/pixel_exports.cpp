// Pixel conversions, layer loading and reading, and point probes.
#include "corvel/corvel.h"
#include "core/guard.h"
#include "core/canvas_geometry.h"
#include "core/engine.h"
#include "layers/pixel_access.h"
#include "core/pixel_convert.h"
#include "exports/arguments.h"
#include "layers/layer_stack.h"
#include "mask/mask_ops.h"
#include "undo/undo_store.h"

using namespace cvl;

namespace {

const Layer* slot_pixels(Engine& e, int32_t slot) { return layer_with_pixels(e, slot); }
const Layer* current_pixels(const Engine& e) { return current_layer_with_pixels(e); }
const uint16_t* under_layer_pixels(const Engine& e) { return e.under_layer.pixels.get(); }
const Layer* trace_pixels(const Engine& e) {
  const Layer* layer = e.trace_layer;
  return (layer && layer->has_pixels()) ? layer : nullptr;
}
uint16_t u16(int32_t v) { return static_cast<uint16_t>(v); }


// Pointer to pixel (x, y) of an RGBA64 image whose stride is given in pixels.
const uint16_t* rgba64_at(const uint16_t* src, int32_t x, int32_t y, int32_t stride_pixels) {
  return src + (static_cast<ptrdiff_t>(y) * stride_pixels + x) * 4;
}

// One pixel of an image the canvas holds (a layer, the under-layer copy, the trace
// layer), read as packed RGBA or as packed colour inside the export's guard.
enum class Probe { Rgba, Colour };
template <class Image>
int32_t probe(const char* failure, Probe what, int32_t x, int32_t y, Image image) {
  return guarded(failure, 0, [&] {
    Engine& e = engine();
    return what == Probe::Rgba ? get_rgba_at(e, x, y, image(e)) : get_colour_at(e, x, y, image(e));
  });
}

}  // namespace

extern "C" {

CVL_API void CVL_CALL CVL_RGBToRGBA(uint8_t* dst, int32_t w, int32_t h, const uint8_t* src) {
  guarded("RGBToRGBA Excpt", [&] { rgb_to_rgba(dst, w, h, src); });
}
CVL_API void CVL_CALL CVL_RGBAToRGB(uint8_t* dst, int32_t w, int32_t h, const uint8_t* src) {
  guarded("RGBAToRGB Excpt", [&] { rgba_to_rgb(dst, w, h, src); });
}
CVL_API void CVL_CALL CVL_RGBAlphaToRGB(uint8_t* dst, int32_t w, int32_t h, const uint8_t* src) {
  guarded("RGBAlphaToRGB Excpt", [&] { rgb_alpha_to_rgb(dst, w, h, src); });
}
CVL_API void CVL_CALL CVL_RGBToRGBAlpha(uint8_t* dst, int32_t w, int32_t h, const uint8_t* src) {
  guarded("RGBToRGBAlpha Excpt", [&] { rgb_to_rgb_alpha(dst, w, h, src); });
}

CVL_API void CVL_CALL CVL_RGBA64RectToRGBA32(const uint16_t* src, int32_t x, int32_t y, int32_t w, int32_t h,
                                             int32_t stride_pixels, int32_t, uint8_t* dst) {
  guarded("RGBA64RectToRGBA32 Excpt", [&] {
    if (!src) return;
    narrow_rgba64_rect(dst, w * 4, rgba64_at(src, x, y, stride_pixels), stride_pixels * 8, w, h, 4);
  });
}

CVL_API void CVL_CALL CVL_RGBA64RectToRGBA24(const uint16_t* src, int32_t x, int32_t y, int32_t w, int32_t h,
                                             int32_t stride_pixels, int32_t, uint8_t* dst) {
  guarded("RGBA64RectToRGBA24 Excpt", [&] {
    if (!src) return;
    narrow_rgba64_rect(dst, w * 3, rgba64_at(src, x, y, stride_pixels), stride_pixels * 8, w, h, 3);
  });
}

CVL_API void CVL_CALL CVL_GetRGB24FromRGBA64Rect(uint8_t* dst, int32_t dst_stride, const uint16_t* src,
                                                 int32_t src_stride, int32_t, int32_t, int32_t w, int32_t h) {
  guarded("GetRGB24FromRGBA64Rect Excpt", [&] { narrow_rgba64_rect(dst, dst_stride, src, src_stride, w, h, 3); });
}

CVL_API void CVL_CALL CVL_GetRGBA32FromRGBA64Rect(uint8_t* dst, int32_t dst_stride, const uint16_t* src,
                                                  int32_t src_stride, int32_t, int32_t, int32_t w, int32_t h) {
  guarded("GetRGBA32FromRGBA64Rect Excpt", [&] { narrow_rgba64_rect(dst, dst_stride, src, src_stride, w, h, 4); });
}

CVL_API void CVL_CALL CVL_GetRGB24FromRGBA64(uint8_t* dst, int32_t dst_stride, const uint16_t* src, int32_t src_stride) {
  guarded("GetRGB24FromRGBA64 Excpt", [&] {
    const Engine& e = engine();
    narrow_rgba64_rect(dst, dst_stride, src, src_stride, e.canvas_width, e.canvas_height, 3);
  });
}

CVL_API void CVL_CALL CVL_GetRGBA32FromRGBA64(uint8_t* dst, int32_t dst_stride, int32_t w, int32_t h,
                                              const uint16_t* src, int32_t src_stride) {
  guarded("GetRGBA32FromRGBA64 Excpt", [&] { narrow_rgba64_rect(dst, dst_stride, src, src_stride, w, h, 4); });
}

CVL_API void CVL_CALL CVL_ClearRGBA64(uint16_t* buffer, int32_t stride, int32_t r, int32_t g, int32_t b, int32_t a) {
  guarded("ClearRGBA64 Excpt", [&] {
    const Engine& e = engine();
    clear_rgba64(buffer, stride, e.canvas_width, e.canvas_height, u16(r), u16(g), u16(b), u16(a));
  });
}

CVL_API void CVL_CALL CVL_ClearRGBA32(uint8_t* buffer, int32_t stride, int32_t r, int32_t g, int32_t b, int32_t a) {
  guarded("ClearRGBA32 Excpt", [&] {
    const Engine& e = engine();
    clear_rgba32(buffer, stride, e.canvas_width, e.canvas_height, u8(r), u8(g), u8(b), u8(a));
  });
}

CVL_API void CVL_CALL CVL_ClearRGBA32Buf(uint8_t* buffer, int32_t w, int32_t h, int32_t r, int32_t g, int32_t b,
                                         int32_t a) {
  guarded("ClearRGBA32Buf Excpt", [&] { clear_rgba32(buffer, w * 4, w, h, u8(r), u8(g), u8(b), u8(a)); });
}

CVL_API void CVL_CALL CVL_InvertAlpha_RGBA32(uint8_t* buffer) {
  guarded("InvertAlpha_RGBA32 Excpt", [&] {
    const Engine& e = engine();
    invert_alpha_rgba32(buffer, e.canvas_width, e.canvas_height);
  });
}

CVL_API void CVL_CALL CVL_Load(const uint8_t* src, int32_t stride, int32_t w, int32_t h) {
  guarded("Load Excpt", [&] { load_bgr(engine(), src, stride, w, h); });
}
CVL_API void CVL_CALL CVL_LoadRGB24(const uint8_t* src, int32_t stride, int32_t use_selection) {
  guarded("LoadRGB24 Excpt", [&] { load_rgb24(engine(), src, stride, low_byte_set(use_selection)); });
}
CVL_API void CVL_CALL CVL_LoadRGB24ToAlpha(const uint8_t* src, int32_t stride, int32_t use_selection) {
  guarded("LoadRGB24ToAlpha Excpt", [&] { load_rgb24_to_alpha(engine(), src, stride, low_byte_set(use_selection)); });
}
CVL_API int32_t CVL_CALL CVL_SetRGBA64Layer(const uint16_t* src, int32_t stride, int32_t layer) {
  return guarded("SetRGBA64Layer Excpt", 0, [&] { return set_rgba64_layer(engine(), src, stride, layer); });
}
CVL_API void CVL_CALL CVL_SetLayerData(const uint16_t* src, int32_t layer) {
  guarded("SetLayerData Excpt", [&] { set_layer_data(engine(), src, layer); });
}
CVL_API void CVL_CALL CVL_CopyLayerData(int32_t from, int32_t to) {
  guarded("CopyLayerData Excpt", [&] { copy_layer_data(engine(), from, to); });
}
CVL_API void CVL_CALL CVL_SetPixelRGB24(uint8_t* buffer, int32_t stride, int32_t x, int32_t y, int32_t r, int32_t g,
                                        int32_t b) {
  guarded("SetPixelRGB24 Excpt", [&] { set_pixel_rgb24(engine(), buffer, stride, x, y, u16(r), u16(g), u16(b)); });
}
CVL_API void CVL_CALL CVL_Clear(int32_t r, int32_t g, int32_t b, int32_t a) {
  guarded("Clear Excpt", [&] { clear_current(engine(), u8(r), u8(g), u8(b), u8(a)); });
}
CVL_API void CVL_CALL CVL_ClearMasked(int32_t r, int32_t g, int32_t b, int32_t a) {
  guarded("ClearMasked Excpt", [&] { clear_masked(engine(), u8(r), u8(g), u8(b), u8(a)); });
}

CVL_API void CVL_CALL CVL_GetRGB24(uint8_t* dst, int32_t stride) {
  guarded("GetRGB24 Excpt", [&] {
    const Engine& e = engine();
    get_rgb24_layer(e, dst, stride, current_layer_with_pixels(e));
  });
}
CVL_API int32_t CVL_CALL CVL_GetRGB24Layer(uint8_t* dst, int32_t stride, int32_t layer) {
  return guarded("GetRGB24Layer Excpt", 0, [&] {
    Engine& e = engine();
    return get_rgb24_layer(e, dst, stride, layer_with_pixels(e, layer));
  });
}
CVL_API void CVL_CALL CVL_GetRGB24FromAlpha(uint8_t* dst, int32_t stride) {
  guarded("GetRGB24FromAlpha Excpt", [&] { get_rgb24_from_alpha(engine(), dst, stride); });
}
CVL_API int32_t CVL_CALL CVL_GetRGBA32Layer(uint8_t* dst, int32_t stride, int32_t layer) {
  return guarded("GetRGBA32Layer Excpt", 0, [&] {
    Engine& e = engine();
    return get_rgba32_layer(e, dst, stride, layer_with_pixels(e, layer));
  });
}
CVL_API void CVL_CALL CVL_GetRGBA32(uint8_t* dst, int32_t stride) {
  guarded("GetRGBA32 Excpt", [&] {
    const Engine& e = engine();
    get_rgba32_layer(e, dst, stride, current_layer_with_pixels(e));
  });
}
CVL_API void CVL_CALL CVL_GetRGBA64LayerRect(uint16_t* dst, int32_t stride, int32_t layer, int32_t x, int32_t y,
                                             int32_t w, int32_t h) {
  guarded("GetRGBA64LayerRect Excpt", [&] { get_rgba64_layer_rect(engine(), dst, stride, layer, x, y, w, h); });
}
CVL_API void CVL_CALL CVL_GetRGBA64Layer(uint16_t* dst, int32_t stride, int32_t layer) {
  guarded("GetRGBA64Layer Excpt", [&] {
    Engine& e = engine();
    get_rgba64_layer_rect(e, dst, stride, layer, 0, 0, e.canvas_width, e.canvas_height);
  });
}
CVL_API void CVL_CALL CVL_GetLayerData(uint16_t* dst, int32_t layer) {
  guarded("GetLayerData Excpt", [&] { get_layer_data(engine(), dst, layer); });
}
CVL_API void CVL_CALL CVL_FindDataExtentsLayer(int32_t layer, int32_t* l, int32_t* t, int32_t* r, int32_t* b) {
  guarded("FindDataExtentsLayer Excpt", [&] { find_data_extents(engine(), layer, l, t, r, b); });
}

CVL_API int32_t CVL_CALL CVL_GetRed64(int32_t x, int32_t y) {
  return guarded("GetRed64 Excpt", 0, [&] { return get_channel64(engine(), x, y, 0); });
}
CVL_API int32_t CVL_CALL CVL_GetGreen64(int32_t x, int32_t y) {
  return guarded("GetGreen64 Excpt", 0, [&] { return get_channel64(engine(), x, y, 1); });
}
CVL_API int32_t CVL_CALL CVL_GetBlue64(int32_t x, int32_t y) {
  return guarded("GetBlue64 Excpt", 0, [&] { return get_channel64(engine(), x, y, 2); });
}
CVL_API int32_t CVL_CALL CVL_GetAlpha64(int32_t x, int32_t y) {
  return guarded("GetAlpha64 Excpt", 0, [&] { return get_channel64(engine(), x, y, 3); });
}
CVL_API int32_t CVL_CALL CVL_GetMask64(int32_t x, int32_t y) {
  return guarded("GetMask64 Excpt", 0, [&] { return get_mask64(engine(), x, y); });
}
CVL_API int32_t CVL_CALL CVL_GetMaskData16(uint16_t* dst) {
  return guarded("GetMaskData16 Excpt", 0, [&] {
    const Engine& e = engine();
    get_mask_data16(e, dst);
    return mask_data_bytes(e);
  });
}
CVL_API int32_t CVL_CALL CVL_SetMaskData16(const uint16_t* src) {
  return guarded("SetMaskData16 Excpt", 0, [&] {
    Engine& e = engine();
    set_mask_data16(e, src);
    return mask_data_bytes(e);
  });
}

CVL_API int32_t CVL_CALL CVL_GetRGBAAt(int32_t x, int32_t y, const uint16_t* image) {
  return guarded("GetRGBAAt Excpt", 0, [&] { return get_rgba_at(engine(), x, y, image); });
}
CVL_API int32_t CVL_CALL CVL_GetRGBAAtSurface(int32_t x, int32_t y) {
  return probe("GetRGBAAtSurface Excpt", Probe::Rgba, x, y, [](Engine& e) { return current_pixels(e); });
}
CVL_API int32_t CVL_CALL CVL_GetRGBAAtUnderLayer(int32_t x, int32_t y) {
  return probe("GetRGBAAtUnderLayer Excpt", Probe::Rgba, x, y, [](Engine& e) { return under_layer_pixels(e); });
}
CVL_API int32_t CVL_CALL CVL_GetRGBAAtTrace(int32_t x, int32_t y) {
  return probe("GetRGBAAtTrace Excpt", Probe::Rgba, x, y, [](Engine& e) { return trace_pixels(e); });
}
CVL_API int32_t CVL_CALL CVL_GetRGBAAtLayer(int32_t x, int32_t y, int32_t layer) {
  return probe("GetRGBAAtLayer Excpt", Probe::Rgba, x, y, [layer](Engine& e) { return slot_pixels(e, layer); });
}
CVL_API int32_t CVL_CALL CVL_GetColorAt(int32_t x, int32_t y, const uint16_t* image) {
  return guarded("GetColorAt Excpt", 0, [&] { return get_colour_at(engine(), x, y, image); });
}
CVL_API int32_t CVL_CALL CVL_GetColorAtSurface(int32_t x, int32_t y) {
  return probe("GetColorAtSurface Excpt", Probe::Colour, x, y, [](Engine& e) { return current_pixels(e); });
}
CVL_API int32_t CVL_CALL CVL_GetColorAtUnderLayer(int32_t x, int32_t y) {
  return probe("GetColorAtUnderLayer Excpt", Probe::Colour, x, y, [](Engine& e) { return under_layer_pixels(e); });
}
CVL_API int32_t CVL_CALL CVL_GetColorAtTrace(int32_t x, int32_t y) {
  return probe("GetColorAtTrace Excpt", Probe::Colour, x, y, [](Engine& e) { return trace_pixels(e); });
}
CVL_API int32_t CVL_CALL CVL_GetColorAtLayer(int32_t x, int32_t y, int32_t layer) {
  return probe("GetColorAtLayer Excpt", Probe::Colour, x, y, [layer](Engine& e) { return slot_pixels(e, layer); });
}
CVL_API int32_t CVL_CALL CVL_GetColorAtHistory(int32_t x, int32_t y) {
  return guarded("GetColorAtHistory Excpt", 0, [&] {
    const Engine& e = engine();
    return can_undo() ? get_colour_at(e, x, y, under_layer_pixels(e)) : 0;
  });
}

}  // extern "C"
