#include "platform/host_callbacks.h"

#include <cstring>

namespace cvl::platform {
namespace {

CVL_HostCallbacks g_table{};

}  // namespace

void set_host_callbacks(const CVL_HostCallbacks* callbacks) {
  g_table = CVL_HostCallbacks{};
  if (!callbacks || callbacks->size < sizeof(uint32_t)) return;
  // A host built against an older header gives a shorter table: copy what it
  // has and leave the newer entries at their defaults.
  const size_t n = callbacks->size < sizeof(CVL_HostCallbacks) ? callbacks->size : sizeof(CVL_HostCallbacks);
  std::memcpy(&g_table, callbacks, n);
  g_table.size = static_cast<uint32_t>(n);
}

const CVL_HostCallbacks& host_callbacks() { return g_table; }

void message_box(const char* caption, const char* text) {
  if (g_table.message_box) {
    g_table.message_box(g_table.user_data, caption ? caption : "", text ? text : "");
    return;
  }
  system_message_box(caption ? caption : "", text ? text : "");
}

int32_t escape_pressed() {
  return g_table.escape_pressed ? (g_table.escape_pressed(g_table.user_data) & 1) : system_escape_pressed();
}

void debug_output(const char* text) {
  if (g_table.debug_output) {
    g_table.debug_output(g_table.user_data, text ? text : "");
    return;
  }
  system_debug_output(text ? text : "");
}

}  // namespace cvl::platform
