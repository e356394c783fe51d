// The layer stack.
#include <new>

#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"
#include "layers/layer_stack.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_CreateLayer(int32_t slot, int32_t width, int32_t height) {
  return guarded("CreateLayer Excpt", int32_t{0}, [&] {
    const int32_t made = create_layer(engine(), slot, width, height);
    // Arguments it takes and still no pixels: memory ran out even after the history
    // was given up.
    if (!made && layer_request_valid(slot, width, height)) throw std::bad_alloc();
    return made;
  });
}

CVL_API void CVL_CALL CVL_DeleteLayer(int32_t slot) {
  guarded("DeleteLayer Excpt", [&] { delete_layer(engine(), slot); });
}

CVL_API void CVL_CALL CVL_SwapLayers(int32_t a, int32_t b) { swap_layers(engine(), a, b); }

// Building a texture map on the way may allocate.
CVL_API void CVL_CALL CVL_SetLayer(int32_t slot) {
  guarded("SetLayer Excpt", [&] { set_layer(engine(), slot); });
}

CVL_API int32_t CVL_CALL CVL_SetLayerOptions(int32_t slot, int32_t visible, int32_t lock_alpha, int32_t opacity,
                                             const char* mode_name) {
  return guarded("SetLayerOptions Excpt", int32_t{0},
                 [&] { return set_layer_options(engine(), slot, visible, lock_alpha, opacity, mode_name); });
}

CVL_API int32_t CVL_CALL CVL_GetLayerCount(void) { return layer_count(engine()); }

CVL_API int32_t CVL_CALL CVL_GetLayerNum(void) { return current_layer_number(engine()); }

CVL_API void CVL_CALL CVL_InvertAlpha(int32_t slot) {
  guarded("InvertAlpha Excpt", [&] { invert_alpha(engine(), slot); });
}

CVL_API void CVL_CALL CVL_SetLayerAlpha(int32_t slot, int32_t value) {
  guarded("SetLayerAlpha Excpt", [&] { set_layer_alpha(engine(), slot, value); });
}

CVL_API void CVL_CALL CVL_NormalizeLayerAlpha(int32_t slot) {
  guarded("NormalizeLayerAlpha Excpt", [&] { normalize_layer_alpha(engine(), slot); });
}

}  // extern "C"
