// Writing RGBA32 images into layers.
#include "corvel/corvel.h"
#include "layers/rgba32_loader.h"
#include "exports/arguments.h"
#include "core/engine.h"
#include "core/guard.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_LoadRGBA32Layer(const uint8_t* src, int32_t src_stride, int32_t slot, int32_t x,
                                             int32_t y, int32_t width, int32_t height, int32_t use_selection) {
  return guarded("LoadRGBA32Layer Excpt", 0, [&] {
    return load_rgba32_layer(engine(), src, src_stride, slot, x, y, width, height, low_byte_set(use_selection));
  });
}

CVL_API int32_t CVL_CALL CVL_LoadRGBA32Into(const uint8_t* src, int32_t src_stride, int32_t slot, int32_t x, int32_t y,
                                            int32_t width, int32_t height) {
  return guarded("LoadRGBA32Into Excpt", 0,
                 [&] { return load_rgba32_layer(engine(), src, src_stride, slot, x, y, width, height, true); });
}

CVL_API int32_t CVL_CALL CVL_LoadRGBA32(const uint8_t* src, int32_t src_stride, int32_t use_selection) {
  return guarded("LoadRGBA32 Excpt", 0,
                 [&] { return load_rgba32(engine(), src, src_stride, low_byte_set(use_selection)); });
}

CVL_API void CVL_CALL CVL_LoadRGBA32Layer_BAD(uint8_t* image, int32_t, int32_t slot, int32_t width, int32_t height,
                                              int32_t use_selection) {
  guarded("LoadRGBA32Layer Excpt",
          [&] { load_rgba32_layer_bad(engine(), image, slot, width, height, low_byte_set(use_selection)); });
}

CVL_API int32_t CVL_CALL CVL_ClearMaskedAlpha(int32_t r, int32_t g, int32_t b, int32_t a) {
  return guarded("ClearMaskedAlpha Excpt", 0,
                 [&] { return clear_masked_alpha(engine(), u8(r), u8(g), u8(b), u8(a)); });
}

}  // extern "C"
