// Without a host entry the engine uses the desktop's own services.
#include <windows.h>

#include "platform/host_callbacks.h"

namespace cvl::platform {

void system_message_box(const char* caption, const char* text) { MessageBoxA(nullptr, text, caption, MB_OK); }

// The low bit says the key went down since the previous query.
int32_t system_escape_pressed() { return GetAsyncKeyState(VK_ESCAPE) & 1; }

void system_debug_output(const char* text) { OutputDebugStringA(text); }

}  // namespace cvl::platform
