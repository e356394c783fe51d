// Whole-canvas geometry: flips, resizes, page size, crop, quarter turns, pan.
#include "corvel/corvel.h"
#include "exports/guard.h"
#include "ipl/geometry.h"

using namespace cvl;

extern "C" {

CVL_API void CVL_CALL CVL_IPLFlipHorizontal(void) { guarded("IPLFlipHorizontal Excpt", [] { ipl_flip_horizontal(); }); }
CVL_API void CVL_CALL CVL_IPLFlipVertical(void) { guarded("IPLVlipVertical Excpt", [] { ipl_flip_vertical(); }); }

CVL_API void CVL_CALL CVL_IPLCrop(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  guarded("IPLCrop Excpt", [=] { ipl_crop(left, top, right, bottom); });
}

CVL_API void CVL_CALL CVL_IPLRotateLeft(void) { guarded("IPLRotateLeft Excpt", [] { ipl_rotate_left(); }); }
CVL_API void CVL_CALL CVL_IPLRotateRight(void) { guarded("IPLRotateRight Excpt", [] { ipl_rotate_right(); }); }

}  // extern "C"
