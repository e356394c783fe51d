// Merging layers and reading the flattened image.
#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"
#include "layers/merge.h"

using namespace cvl;

extern "C" {

CVL_API void CVL_CALL CVL_MergeLayer(int32_t src_slot, int32_t dst_slot) {
  guarded("MergeLayer Excpt", [&] { merge_layer(engine(), src_slot, dst_slot); });
}

CVL_API void CVL_CALL CVL_MergeLayerIntoRect(int32_t slot, uint16_t* dst, int32_t x, int32_t y, int32_t width,
                                             int32_t height) {
  guarded("MergeLayerIntoRect Excpt", [&] { merge_layer_into_rect(engine(), slot, dst, x, y, width, height); });
}

CVL_API void CVL_CALL CVL_MergeLayerInto(int32_t slot, uint16_t* dst) {
  guarded("MergeLayerInto Excpt", [&] {
    Engine& e = engine();
    merge_layer_into_rect(e, slot, dst, 0, 0, e.canvas_width, e.canvas_height);
  });
}

CVL_API void CVL_CALL CVL_MergeRect(uint16_t* dst, int32_t x, int32_t y, int32_t width, int32_t height) {
  guarded("MergeRect Excpt", [&] { merge_rect(engine(), dst, x, y, width, height); });
}

CVL_API void CVL_CALL CVL_Merge(uint16_t* dst) {
  guarded("Merge Excpt", [&] {
    Engine& e = engine();
    merge_rect(e, dst, 0, 0, e.canvas_width, e.canvas_height);
  });
}

CVL_API int32_t CVL_CALL CVL_GetColorAtMerged(int32_t x, int32_t y) {
  return guarded("CVL_GetColorAtMerged Excpt", int32_t{0}, [&] { return colour_at_merged(engine(), x, y); });
}

}  // extern "C"
