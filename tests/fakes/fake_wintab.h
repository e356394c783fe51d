// Scripting interface of the fake tablet library the tablet tests load. The test
// and the engine open the same shared object, so both see one state.
#pragma once

#include <cstdint>

#include "platform/wintab.h"

struct FakeWintabState {
  int32_t has_axis;  // WTInfoA for the pressure axis answers only when set
  int32_t axis_min, axis_max;
  int32_t open_fails, queue_fails;
  int32_t opened, closed;  // contexts opened and closed so far
  int32_t queue_size;      // the last queue size asked for
  cvl::platform::WtLogContext last_context;  // as given to the last WTOpenA
};

// fake_wintab_state returns the library's live state; fake_wintab_reset restores
// an axis 0..1023, no failures and an empty queue.
using FakeWintabStateFn = FakeWintabState* (*)();
using FakeWintabResetFn = void (*)();
using FakeWintabQueueFn = void (*)(const cvl::platform::WtPacket* packets, int32_t count);
