// Without a window system the host paints its own window: nothing to do.
#include "platform/hidden_window.h"
#include "platform/window_paint.h"

namespace cvl::platform {

void set_window_redraw(void*, int32_t) {}
void redraw_window(void*) {}

bool start_hidden_window(void*, uint8_t*) { return false; }
void* hidden_window() { return nullptr; }
void stop_hidden_window() {}

}  // namespace cvl::platform
