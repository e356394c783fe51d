// The layer stack.
#include <new>

#include "corvel/corvel.h"
#include "core/guard.h"
#include "layers/layer_stack.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_CreateLayer(int32_t slot, int32_t width, int32_t height) {
  return guarded("CreateLayer Excpt", int32_t{0}, [&] {
    const int32_t made = create_layer(slot, width, height);
    // Arguments it takes and still no pixels: memory ran out even after the history
    // was given up.
    if (!made && layer_request_valid(slot, width, height)) throw std::bad_alloc();
    return made;
  });
}

CVL_API void CVL_CALL CVL_DeleteLayer(int32_t slot) {
  guarded("DeleteLayer Excpt", [&] { delete_layer(slot); });
}

CVL_API void CVL_CALL CVL_SwapLayers(int32_t a, int32_t b) { swap_layers(a, b); }

// Building a texture map on the way may allocate.
CVL_API void CVL_CALL CVL_SetLayer(int32_t slot) {
  guarded("SetLayer Excpt", [&] { set_layer(slot); });
}

CVL_API int32_t CVL_CALL CVL_SetLayerOptions(int32_t slot, int32_t visible, int32_t lock_alpha, int32_t opacity,
                                             const char* mode_name) {
  return guarded("SetLayerOptions Excpt", int32_t{0},
                 [&] { return set_layer_options(slot, visible, lock_alpha, opacity, mode_name); });
}

CVL_API int32_t CVL_CALL CVL_GetLayerCount(void) { return layer_count(); }

CVL_API int32_t CVL_CALL CVL_GetLayerNum(void) { return current_layer_number(); }

CVL_API void CVL_CALL CVL_InvertAlpha(int32_t slot) {
  guarded("InvertAlpha Excpt", [&] { invert_alpha(slot); });
}

CVL_API void CVL_CALL CVL_SetLayerAlpha(int32_t slot, int32_t value) {
  guarded("SetLayerAlpha Excpt", [&] { set_layer_alpha(slot, value); });
}

CVL_API void CVL_CALL CVL_NormalizeLayerAlpha(int32_t slot) {
  guarded("NormalizeLayerAlpha Excpt", [&] { normalize_layer_alpha(slot); });
}

}  // extern "C"
