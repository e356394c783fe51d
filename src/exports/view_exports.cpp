// Showing the canvas in the host's display buffer.
#include "view/view_render.h"
#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"

using namespace cvl;

extern "C" {

CVL_API void CVL_CALL CVL_Render(uint8_t* dst, int32_t dst_stride, int32_t x, int32_t y, int32_t width,
                                 int32_t height) {
  guarded("Render Excpt", [&] { render_view(engine(), dst, dst_stride, x, y, width, height); });
}

}  // extern "C"
