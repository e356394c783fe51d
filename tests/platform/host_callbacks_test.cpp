#include "platform/host_callbacks.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace cvl::platform {
namespace {

struct Seen {
  std::string caption, text;
  int escapes = 0;
};

void record_box(void* user, const char* caption, const char* text) {
  auto* s = static_cast<Seen*>(user);
  s->caption = caption;
  s->text = text;
}
int32_t escape_twice(void* user) { return ++static_cast<Seen*>(user)->escapes <= 2 ? 3 : 0; }

TEST(HostCallbacks, EntriesReachTheHostAndNullRestoresDefaults) {
  Seen seen;
  CVL_HostCallbacks table{};
  table.size = sizeof table;
  table.user_data = &seen;
  table.message_box = record_box;
  table.escape_pressed = escape_twice;
  CVL_SetHostCallbacks(&table);
  message_box("Lua Script Error", "boom");
  EXPECT_EQ(seen.caption, "Lua Script Error");
  EXPECT_EQ(seen.text, "boom");
  EXPECT_EQ(escape_pressed(), 1);  // only the low bit counts
  CVL_SetHostCallbacks(nullptr);
  EXPECT_EQ(escape_pressed(), 0);
#ifndef _WIN32  // there the default is the system's message box, which waits for a click
  testing::internal::CaptureStderr();
  message_box("cap", "txt");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "cap: txt\n");
#endif
}

TEST(HostCallbacks, AnOlderShorterTableKeepsTheNewerEntriesAtTheirDefaults) {
  Seen seen;
  CVL_HostCallbacks table{};
  table.user_data = &seen;
  table.message_box = record_box;
  table.escape_pressed = escape_twice;  // past the size the host claims
  table.size = offsetof(CVL_HostCallbacks, escape_pressed);
  CVL_SetHostCallbacks(&table);
  EXPECT_EQ(escape_pressed(), 0);
  EXPECT_EQ(seen.escapes, 0);
  message_box("a", "b");
  EXPECT_EQ(seen.text, "b");
  CVL_SetHostCallbacks(nullptr);
}

}  // namespace
}  // namespace cvl::platform
