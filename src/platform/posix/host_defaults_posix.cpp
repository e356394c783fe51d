// Without a host entry a headless engine answers for itself: messages go to
// standard error, nobody presses Escape, debugger output is opt-in.
#include <cstdio>
#include <cstdlib>

#include "platform/host_callbacks.h"

namespace cvl::platform {

void system_message_box(const char* caption, const char* text) { std::fprintf(stderr, "%s: %s\n", caption, text); }

int32_t system_escape_pressed() { return 0; }

void system_debug_output(const char* text) {
  if (std::getenv("CORVEL_DEBUG_OUTPUT")) std::fprintf(stderr, "%s", text);
}

}  // namespace cvl::platform
