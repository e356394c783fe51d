// The suite runs unattended under Wine, where a real message box or dialog
// would wait for a click that never comes. Before each test a host table takes
// the place of the system's dialogs, answering as the headless defaults do: a
// message goes to stderr as "caption: text", the movie is stored uncompressed,
// the font choice is cancelled. A test that sets its own table
// keeps it until the next test starts.
#include <gtest/gtest.h>

#include <cstdio>

#include "corvel/corvel.h"

namespace {

void print_box(void*, const char* caption, const char* text) { std::fprintf(stderr, "%s: %s\n", caption, text); }

int32_t no_font(void*, void*, uint32_t* error) {
  *error = 0;
  return 0;
}

int32_t uncompressed(void*, uint32_t* fourcc, int32_t* quality) {
  *fourcc = 0;
  *quality = 0;
  return 1;
}

class UnattendedHost : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override {
    CVL_HostCallbacks table{};
    table.size = sizeof table;
    table.message_box = print_box;
    table.choose_font = no_font;
    table.choose_compression = uncompressed;
    CVL_SetHostCallbacks(&table);
  }
};

const bool installed = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new UnattendedHost);
  return true;
}();

}  // namespace
