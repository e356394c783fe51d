// A tablet library with a pressure axis that replays the packets a test queues.
#include <cstring>
#include <deque>

#include "fakes/fake_wintab.h"

using cvl::platform::WtAxis;
using cvl::platform::WtLogContext;
using cvl::platform::WtPacket;

namespace {

FakeWintabState g_state;
std::deque<WtPacket> g_queue;
int g_context_token;  // WTOpenA hands out its address

void reset() {
  g_state = FakeWintabState{};
  g_state.has_axis = 1;
  g_state.axis_max = 1023;
  g_queue.clear();
}

struct Init {
  Init() { reset(); }
} g_init;

// The device's default context: recognisable values the engine must keep or replace.
WtLogContext default_context() {
  WtLogContext c{};
  std::strcpy(c.name, "fake default");
  c.options = 0x40;
  c.status = 1;
  c.pkt_rate = 100;
  c.pkt_data = 0xFFFF;
  c.pkt_mode = 0x20;
  c.move_mask = 0xFF;
  c.btn_dn_mask = 0x7;
  c.btn_up_mask = 0x1;
  c.in_ext_x = 40000;
  c.in_ext_y = 30000;
  c.out_org_x = 5;
  c.out_org_y = 6;
  c.out_ext_x = 1280;
  c.out_ext_y = 1024;
  c.sys_ext_x = 1280;
  c.sys_ext_y = 1024;
  return c;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) FakeWintabState* fake_wintab_state() { return &g_state; }
__attribute__((visibility("default"))) void fake_wintab_reset() { reset(); }
__attribute__((visibility("default"))) void fake_wintab_queue(const WtPacket* packets, int32_t count) {
  for (int32_t i = 0; i < count; ++i) g_queue.push_back(packets[i]);
}

__attribute__((visibility("default"))) uint32_t WTInfoA(uint32_t category, uint32_t index, void* out) {
  if (category == cvl::platform::kWtiDevices && index == cvl::platform::kDvcNPressure) {
    if (!g_state.has_axis) return 0;
    const WtAxis axis{g_state.axis_min, g_state.axis_max, 0, 0x10000};
    if (out) std::memcpy(out, &axis, sizeof axis);
    return sizeof axis;
  }
  if (category == cvl::platform::kWtiDefContext) {
    const WtLogContext c = default_context();
    if (out) std::memcpy(out, &c, sizeof c);
    return sizeof c;
  }
  return 0;
}

__attribute__((visibility("default"))) void* WTOpenA(void*, WtLogContext* context, int32_t) {
  g_state.last_context = *context;
  if (g_state.open_fails) return nullptr;
  ++g_state.opened;
  return &g_context_token;
}

__attribute__((visibility("default"))) int32_t WTPacketsGet(void* context, int32_t max_packets, void* packets) {
  if (context != &g_context_token) return 0;
  int32_t n = 0;
  auto* out = static_cast<WtPacket*>(packets);
  while (n < max_packets && !g_queue.empty()) {
    if (out) out[n] = g_queue.front();
    g_queue.pop_front();
    ++n;
  }
  return n;
}

__attribute__((visibility("default"))) int32_t WTQueueSizeSet(void* context, int32_t size) {
  if (context != &g_context_token) return 0;
  g_state.queue_size = size;
  return g_state.queue_fails ? 0 : 1;
}

__attribute__((visibility("default"))) int32_t WTClose(void* context) {
  if (context != &g_context_token) return 0;
  ++g_state.closed;
  return 1;
}

}  // extern "C"
