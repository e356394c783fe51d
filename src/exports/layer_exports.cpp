// The layer stack.
#include "corvel/corvel.h"
#include "exports/guard.h"
#include "layers/layer_stack.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_CreateLayer(int32_t slot, int32_t width, int32_t height) {
  return guarded("CreateLayer Excpt", int32_t{0}, [&] { return create_layer(slot, width, height); });
}

CVL_API void CVL_CALL CVL_DeleteLayer(int32_t slot) {
  guarded("DeleteLayer Excpt", [&] { delete_layer(slot); });
}

CVL_API void CVL_CALL CVL_SetLayer(int32_t slot) { set_layer(slot); }

}  // extern "C"
