// The image brush.
#include "corvel/corvel.h"
#include "exports/arguments.h"
#include "core/engine.h"
#include "core/guard.h"
#include "core/tool_settings.h"
#include "layers/image_brush.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_LoadImageBrush(const char* path) {
  return guarded("LoadImageBrush Excpt", 0, [&] { return load_image_brush(engine(), path); });
}
CVL_API int32_t CVL_CALL CVL_LoadImageBrushFromRGBA32(const uint8_t* rgba, int32_t width, int32_t height) {
  return guarded("LoadImageBrushFromRGBA32 Excpt", 0,
                 [&] { return load_image_brush_rgba32(engine(), rgba, width, height); });
}
CVL_API int32_t CVL_CALL CVL_LoadImageBrushArray(const char* path) {
  return guarded("LoadImageBrushArray Excpt", 0, [&] { return load_image_brush_array(engine(), path); });
}
CVL_API int32_t CVL_CALL CVL_CopyFromImageBrushArray(float x) {
  return guarded("CopyFromImageBrushArray Excpt", 0, [&] { return copy_from_image_brush_array(x); });
}
CVL_API int32_t CVL_CALL CVL_SaveImageBrush(const char* path) {
  return guarded("SaveImageBrush Excpt", 0, [&] { return save_image_brush(path); });
}

CVL_API int32_t CVL_CALL CVL_FillImageBrush(int32_t r, int32_t g, int32_t b) {
  return guarded("FillImageBrush Excpt", 0, [&] { return fill_image_brush(tool(), u8(r), u8(g), u8(b)); });
}
CVL_API int32_t CVL_CALL CVL_ColorImageBrush(int32_t r, int32_t g, int32_t b) {
  return guarded("ColorImageBrush Excpt", 0, [&] { return colour_image_brush(tool(), u8(r), u8(g), u8(b)); });
}
CVL_API int32_t CVL_CALL CVL_CopyToImageBrush(void) {
  return guarded("CopyToImageBrush Excpt", 0, [] { return copy_to_image_brush(engine(), tool()); });
}

CVL_API int32_t CVL_CALL CVL_SizeImageBrush(void) {
  return guarded("SizeImageBrush Excpt", 0, [] { return size_image_brush(tool()); });
}
CVL_API int32_t CVL_CALL CVL_RotateImageBrush(int32_t degrees) {
  return guarded("RotateImageBrush Excpt", 0, [&] { return rotate_image_brush(degrees); });
}
// Sizing fails on its own terms; the mix then uses whatever sized picture is left.
CVL_API int32_t CVL_CALL CVL_CopyFromImageBrush(int32_t strength_percent) {
  guarded("SizeImageBrush Excpt", 0, [] { return size_image_brush(tool()); });
  return guarded("CopyFromImageBrush Excpt", 0, [&] { return mix_image_brush(engine(), strength_percent); });
}
CVL_API int32_t CVL_CALL CVL_CopyFromImageBrushRotate(int32_t strength_percent) {
  return guarded("CopyFromImageBrushRotate Excpt", 0,
                 [&] { return mix_rotated_image_brush(engine(), strength_percent); });
}

}  // extern "C"
