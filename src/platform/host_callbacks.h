// Services that need a person's answer (message boxes, the Escape key, dialogs,
// the desktop clipboard) reach the host through one table it registers.
//
// Engine code asks these functions, never the table: each falls back to the
// headless default when the host has not set its entry.
#pragma once

#include <cstddef>
#include <cstdint>

#include "corvel/corvel.h"

namespace cvl::platform {

// Keeps a copy of the host's table (only the entries its size covers); null
// restores every default.
void set_host_callbacks(const CVL_HostCallbacks* callbacks);

// The registered table with entries past the host's size zeroed.
const CVL_HostCallbacks& host_callbacks();

// A modal message with an OK button; default on POSIX: "caption: text" on standard error.
void message_box(const char* caption, const char* text);

// 1 when Escape was pressed since the previous query; default on POSIX: never.
int32_t escape_pressed();

// Debugger output; default on POSIX: standard error, only when CORVEL_DEBUG_OUTPUT is set.
void debug_output(const char* text);

// What each of the three does without a host entry, per system: POSIX as said
// above; Windows shows MessageBoxA, reads GetAsyncKeyState and calls
// OutputDebugStringA.
void system_message_box(const char* caption, const char* text);
int32_t system_escape_pressed();
void system_debug_output(const char* text);

}  // namespace cvl::platform
