// Curved strokes and the point warp.
#include "brush/spline.h"
#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_CalcSpline3(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                         int32_t) {
  return guarded("CalcSpline3 Excpt", 0, [&] {
    // Coordinates are read as unsigned: -1 is 4294967295.
    return calc_spline3(uint32_t(x0), uint32_t(y0), uint32_t(x1), uint32_t(y1), uint32_t(x2), uint32_t(y2));
  });
}
CVL_API int32_t CVL_CALL CVL_GetSplinePointCount(void) { return spline_point_count(); }
CVL_API double CVL_CALL CVL_GetSplinePointX(int32_t i) { return spline_point_x(uint32_t(i)); }
CVL_API double CVL_CALL CVL_GetSplinePointY(int32_t i) { return spline_point_y(uint32_t(i)); }
CVL_API void CVL_CALL CVL_WarpPointToPoint(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  guarded("WarpPointToPoint Excpt", [&] { warp_point_to_point(engine(), x1, y1, x2, y2); });
}

}  // extern "C"
