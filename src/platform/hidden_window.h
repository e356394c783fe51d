// The engine's hidden window: the system sends it the broadcasts that tell of
// display and settings changes, and its procedure only sets a byte.
#pragma once

#include <cstdint>

namespace cvl::platform {

// Registers the window class, creates the never-shown window on the calling
// thread and makes `*flag` the byte the window sets. False where the system has
// no such broadcasts (POSIX: the host reports changes itself) or when the
// window could not be made.
bool start_hidden_window(void* module, uint8_t* flag);

// The hidden window's handle, or null.
void* hidden_window();

// Destroys the window and unregisters its class (library unload, tests).
void stop_hidden_window();

}  // namespace cvl::platform
