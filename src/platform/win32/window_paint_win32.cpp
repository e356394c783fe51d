#include <windows.h>

#include "platform/window_paint.h"

namespace cvl::platform {

void set_window_redraw(void* window, int32_t on) {
  SendMessageA(static_cast<HWND>(window), WM_SETREDRAW, static_cast<WPARAM>(on & 0xFF), 0);
}

void redraw_window(void* window) {
  RedrawWindow(static_cast<HWND>(window), nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
}

}  // namespace cvl::platform
