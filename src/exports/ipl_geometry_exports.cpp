// Whole-canvas geometry: flips, resizes, page size, crop, quarter turns, pan.
#include "corvel/corvel.h"
#include "exports/arguments.h"
#include "core/guard.h"
#include "ipl/geometry.h"

using namespace cvl;

extern "C" {

CVL_API void CVL_CALL CVL_IPLFlipHorizontal(void) { guarded("IPLFlipHorizontal Excpt", [] { ipl_flip_horizontal(engine()); }); }
CVL_API void CVL_CALL CVL_IPLFlipVertical(void) { guarded("IPLVlipVertical Excpt", [] { ipl_flip_vertical(engine()); }); }

CVL_API void CVL_CALL CVL_IPLResize(int32_t new_width, int32_t new_height, const char* filter) {
  guarded("IPLResize Excpt", [=] { report_failure("IPLResize", ipl_resize(engine(), new_width, new_height, filter)); });
}

// The third argument is accepted for hosts and not used.
CVL_API const char* CVL_CALL CVL_IPLResizeFilterName(int32_t index) { return resize_filter_name(index); }

CVL_API void CVL_CALL CVL_IPLSeamCarvingRGBA(int32_t new_width, int32_t new_height, int32_t) {
  guarded("IPLResize Excpt", [=] { ipl_seam_carve(engine(), new_width, new_height); });
}

CVL_API void CVL_CALL CVL_IPLResizePage(int32_t new_width, int32_t new_height, const char* anchor) {
  guarded("IPLResizePage Excpt",
          [=] { report_failure("IPLResizePage", ipl_resize_page(engine(), new_width, new_height, anchor)); });
}

CVL_API void CVL_CALL CVL_IPLCrop(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  guarded("IPLCrop Excpt", [=] { report_failure("IPLCrop", ipl_crop(engine(), left, top, right, bottom)); });
}

CVL_API void CVL_CALL CVL_IPLRotateLeft(void) { guarded("IPLRotateLeft Excpt", [] { ipl_rotate_left(engine()); }); }
CVL_API void CVL_CALL CVL_IPLRotateRight(void) { guarded("IPLRotateRight Excpt", [] { ipl_rotate_right(engine()); }); }

CVL_API void CVL_CALL CVL_IPLPan(int32_t dx, int32_t dy, int32_t edge_mode, int32_t r, int32_t g, int32_t b, int32_t a,
                                 int32_t apply_mask) {
  guarded("IPLPan Excpt",
          [=] { ipl_pan(engine(), dx, dy, edge_mode, u8(r), u8(g), u8(b), u8(a), low_byte_set(apply_mask)); });
}

}  // extern "C"
