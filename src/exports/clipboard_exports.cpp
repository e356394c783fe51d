// Copy, paste and screen capture.
#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"
#include "io/copy_paste.h"

using namespace cvl;

namespace {

PastePlacement placement(int32_t x, int32_t y, int32_t angle, int32_t centre, int32_t smooth) {
  PastePlacement p;
  p.x = x, p.y = y, p.angle = angle;
  p.centre = centre == 1;
  p.smooth = smooth != 0;
  return p;
}

// The placed pastes return 0 whatever happens: a failure is told only by the
// last-error text.
void paste_ex2(const char* call, int32_t x, int32_t y, int32_t size, int32_t angle, int32_t centre,
               int32_t smooth) {
  guarded("FromClipBoardIntoEX Excpt", [&] {
    PastePlacement p = placement(x, y, angle, centre, smooth);
    p.size = size;
    report_failure(call, from_clipboard_into_ex2(engine(), p));
  });
}

}  // namespace

extern "C" {

// The copies return nothing: a failure is told only by the last-error text.
CVL_API void CVL_CALL CVL_ToClipboard(void) {
  guarded("ToClipBoard Excpt", [] { report_failure("ToClipboard", to_clipboard(engine())); });
}
CVL_API void CVL_CALL CVL_ToClipboardRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  guarded("ToClipBoardRect Excpt",
          [&] { report_failure("ToClipboardRect", to_clipboard_rect(engine(), x1, y1, x2, y2)); });
}
CVL_API void CVL_CALL CVL_RGBA32ToClipboardRect(uint8_t* image, int32_t x, int32_t y, int32_t width,
                                                int32_t height) {
  guarded("ToClipBoardRect Excpt", [&] {
    report_failure("RGBA32ToClipboardRect", rgba32_to_clipboard_rect(engine(), image, x, y, width, height));
  });
}

CVL_API int32_t CVL_CALL CVL_FromClipboard(void) {
  return guarded("FromClipBoard Excpt", 0, [] { return from_clipboard(); });
}
CVL_API int32_t CVL_CALL CVL_FromClipboardInto(int32_t x, int32_t y, int32_t centre) {
  return guarded("FromClipBoardInto Excpt", 0, [&] { return from_clipboard_into(engine(), x, y, centre); });
}
CVL_API int32_t CVL_CALL CVL_FromClipboardIntoEX(int32_t x, int32_t y, float scale, int32_t angle, int32_t centre,
                                                 int32_t smooth) {
  guarded("FromClipBoardIntoEX Excpt", [&] {
    PastePlacement p = placement(x, y, angle, centre, smooth);
    p.scale = scale;
    report_failure("FromClipboardIntoEX", from_clipboard_into_ex(engine(), p));
  });
  return 0;
}
CVL_API int32_t CVL_CALL CVL_FromClipboardIntoEX2(int32_t x, int32_t y, int32_t size, int32_t angle, int32_t centre,
                                                  int32_t smooth) {
  paste_ex2("FromClipboardIntoEX2", x, y, size, angle, centre, smooth);
  return 0;
}
// The two forms differ only in which rotation entry of the imaging library they
// called; ours has one.
CVL_API int32_t CVL_CALL CVL_FromClipboardIntoEX2_1602(int32_t x, int32_t y, int32_t size, int32_t angle,
                                                       int32_t centre, int32_t smooth) {
  paste_ex2("FromClipboardIntoEX2_1602", x, y, size, angle, centre, smooth);
  return 0;
}

CVL_API int32_t CVL_CALL CVL_ScreenCapture(void) {
  return guarded("ScreenCapture Excpt", 0, [] { return screen_capture(); });
}
CVL_API int32_t CVL_CALL CVL_ScreenCaptureInto(void) {
  return guarded("ScreenCaptureInto Excpt", 0, [] { return screen_capture_into(engine()); });
}

}  // extern "C"
