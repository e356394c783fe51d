// The shape, gradient and text tools, the font chooser, the displacement bump
// and the blur of caller buffers.
#include "corvel/corvel.h"
#include "core/guard.h"
#include "ipl/blur_buffer.h"
#include "effects/displacement.h"
#include "ipl/drawing_shapes.h"
#include "ipl/gradient.h"
#include "ipl/text.h"
#include "ipl/text_font.h"

using namespace cvl;

namespace {

uint8_t byte(int32_t v) { return static_cast<uint8_t>(v); }

}  // namespace

extern "C" {

CVL_API void CVL_CALL CVL_IPLRectangle(int32_t r, int32_t g, int32_t b, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                       int32_t opacity) {
  guarded("IPLRectangle Excpt", [&] { ipl_rectangle(engine(), byte(r), byte(g), byte(b), x0, y0, x1, y1, opacity); });
}

CVL_API void CVL_CALL CVL_IPLEllipse(int32_t r, int32_t g, int32_t b, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                     int32_t opacity) {
  guarded("IPLEllipse Excpt", [&] { ipl_ellipse(engine(), byte(r), byte(g), byte(b), x0, y0, x1, y1, opacity); });
}

CVL_API void CVL_CALL CVL_IPLGradient(int32_t r1, int32_t g1, int32_t b1, int32_t r2, int32_t g2, int32_t b2,
                                      int32_t r3, int32_t g3, int32_t b3, int32_t r4, int32_t g4, int32_t b4,
                                      int32_t count, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                                      const char* type) {
  guarded("IPLGradient Excpt", [&] {
    const GradientColours colours{{{byte(r1), byte(g1), byte(b1)},
                                   {byte(r2), byte(g2), byte(b2)},
                                   {byte(r3), byte(g3), byte(b3)},
                                   {byte(r4), byte(g4), byte(b4)}}};
    ipl_gradient(engine(), colours, count, x0, y0, x1, y1, type);
  });
}

CVL_API int32_t CVL_CALL CVL_ChooseFont(void) {
  return guarded("ChooseFont Excpt", int32_t{0}, [] { return choose_text_font(engine()); });
}

CVL_API void CVL_CALL CVL_IPLText(int32_t r, int32_t g, int32_t b, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                                  int32_t, const char* text, int32_t smooth) {
  guarded("IPLText Excpt", [&] { ipl_text(engine(), byte(r), byte(g), byte(b), x, y, text, smooth); });
}

CVL_API void CVL_CALL CVL_IPLDisplacementBummp(const char* path, double depth, int32_t fill) {
  guarded("IPLDisplacementBump Excpt", [&] {
    report_failure("IPLDisplacementBummp", ipl_displacement_bump(engine(), path, depth, static_cast<uint32_t>(fill)));
  });
}

CVL_API void CVL_CALL CVL_BlurMoreBufferRGB24(uint8_t* buffer, int32_t width, int32_t height, int32_t size,
                                              int32_t strength) {
  guarded("BlurMoreBuffer Excpt", [&] { blur_more_buffer_rgb24(buffer, width, height, size, strength); });
}

}  // extern "C"
