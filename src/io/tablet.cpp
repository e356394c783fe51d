#include "io/tablet.h"

#include <cstring>

namespace cvl {
namespace {

TabletState g_tablet;

constexpr char kContextName[] = "corvel tablet context";
constexpr uint32_t kPacketData = platform::kPkStatus | platform::kPkX | platform::kPkY | platform::kPkNormalPressure;
constexpr int32_t kQueueSize = 256;
constexpr int32_t kFlushCount = 1000;

// Device units times the scale, truncated. A device that reports far beyond its
// stated maximum would overflow the integer; such readings saturate instead.
uint32_t scaled_pressure(uint32_t pressure) {
  const float p = static_cast<float>(pressure) * g_tablet.pressure_scale;
  if (!(p >= 0.0f)) return 0;
  if (p >= 4294967296.0f) return UINT32_MAX;
  return static_cast<uint32_t>(p);
}

const platform::WtPacket* packet_at(uint32_t index) {
  if (!g_tablet.tablet_context || index >= g_tablet.packet_count) return nullptr;
  return &g_tablet.packets[index];
}

void describe_context(platform::WtLogContext& ctx) {
  std::memset(ctx.name, 0, sizeof ctx.name);
  std::memcpy(ctx.name, kContextName, sizeof kContextName);
  ctx.options = platform::kCxoSystem;
  ctx.pkt_data = kPacketData;
  ctx.pkt_mode = 0;  // every field absolute
  ctx.move_mask = kPacketData;
  ctx.btn_up_mask = ctx.btn_dn_mask;
  ctx.out_org_x = 0;
  ctx.out_org_y = 0;
  int32_t width = 0, height = 0;
  if (platform::screen_size(width, height)) {
    ctx.out_ext_x = width;
    ctx.out_ext_y = -height;  // y grows downward, as on the screen
  } else if (ctx.out_ext_y > 0) {
    ctx.out_ext_y = -ctx.out_ext_y;  // no screen known: keep the device's extent, downward
  }
}

}  // namespace

TabletState& tablet() { return g_tablet; }

int32_t init_tablet(void* window) {
  g_tablet.tablet_window = window;
  // A second initialisation replaces the context; closing the old one first keeps
  // it from holding the device for the rest of the process.
  if (g_tablet.tablet_context) close_tablet();

  platform::WtAxis axis{};
  const uint32_t found = platform::wt_info(platform::kWtiDevices, platform::kDvcNPressure, &axis);
  if (found == 0) return 0;
  // An empty or inverted range gives no usable scale: treat it as no pressure axis.
  if (axis.max <= axis.min) return 0;
  g_tablet.pressure_scale = 100.0f / static_cast<float>(static_cast<uint32_t>(axis.max) - static_cast<uint32_t>(axis.min));

  platform::WtLogContext ctx{};
  platform::wt_info(platform::kWtiDefContext, 0, &ctx);
  describe_context(ctx);
  g_tablet.tablet_context = platform::wt_open(window, &ctx, 1);
  if (!g_tablet.tablet_context) return static_cast<int32_t>(found);

  const int32_t queued = platform::wt_queue_size_set(g_tablet.tablet_context, kQueueSize);
  // Without its queue the context cannot be read; do not leave it open.
  if (queued == 0) close_tablet();
  return queued;
}

int32_t set_tablet_origin() {
  if (!g_tablet.tablet_context) return 0;
  platform::ScreenPoint origin;
  const int32_t result = platform::client_to_screen(g_tablet.tablet_window, origin);
  g_tablet.tablet_origin = origin;
  return result;
}

int32_t close_tablet() {
  if (!g_tablet.tablet_context) return 0;
  const int32_t result = platform::wt_close(g_tablet.tablet_context);
  g_tablet.tablet_context = nullptr;
  g_tablet.packet_count = 0;
  return result;
}

int32_t reset_tablet_pressure() {
  g_tablet.last_pressure = 10;
  if (!g_tablet.tablet_context) return 0;
  return platform::wt_packets_get(g_tablet.tablet_context, kFlushCount, nullptr);
}

int32_t read_tablet_packets() {
  g_tablet.packet_count = 0;
  if (!g_tablet.tablet_context) return 0;
  const int32_t n = platform::wt_packets_get(g_tablet.tablet_context, static_cast<int32_t>(kTabletPacketCapacity),
                                             g_tablet.packets.data());
  // The count comes from outside: never let it reach past the batch.
  if (n > 0) g_tablet.packet_count = static_cast<uint32_t>(n) < kTabletPacketCapacity ? static_cast<uint32_t>(n) : kTabletPacketCapacity;
  return static_cast<int32_t>(g_tablet.packet_count);
}

int32_t read_tablet_pressure(uint32_t index) {
  if (!g_tablet.tablet_context) return static_cast<int32_t>(g_tablet.last_pressure);
  if (const platform::WtPacket* p = packet_at(index)) {
    uint32_t scaled = scaled_pressure(p->pressure);
    if (scaled == 0) scaled = 1;
    g_tablet.last_pressure = scaled;
    return static_cast<int32_t>(scaled);
  }
  // No packet: ramp up from the last value so a pen that stops reporting fades in.
  const uint32_t previous = g_tablet.last_pressure;
  g_tablet.last_pressure = previous + 25 > 100 ? 100 : previous + 25;
  return static_cast<int32_t>(previous);
}

int32_t read_raw_tablet_pressure(uint32_t index) {
  const platform::WtPacket* p = packet_at(index);
  return p ? static_cast<int32_t>(scaled_pressure(p->pressure)) : 0;
}

int32_t is_packet_invert(uint32_t index) {
  const platform::WtPacket* p = packet_at(index);
  return p && (p->status & platform::kTpsInvert) ? 1 : 0;
}

int32_t packet_status(uint32_t index) {
  const platform::WtPacket* p = packet_at(index);
  return p ? static_cast<int32_t>(p->status) : 0;
}

int32_t read_tablet_x(uint32_t index) {
  const platform::WtPacket* p = packet_at(index);
  return p ? static_cast<int32_t>(static_cast<uint32_t>(p->x) - static_cast<uint32_t>(g_tablet.tablet_origin.x)) : 0;
}

int32_t read_tablet_y(uint32_t index) {
  const platform::WtPacket* p = packet_at(index);
  return p ? static_cast<int32_t>(static_cast<uint32_t>(p->y) - static_cast<uint32_t>(g_tablet.tablet_origin.y)) : 0;
}

}  // namespace cvl
