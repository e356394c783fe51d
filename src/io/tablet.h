// Pen-tablet input: one system-cursor context on the host's window, batches of
// packets pulled by the host, and per-packet position, pressure and status.
#pragma once

#include <array>
#include <cstdint>

#include "platform/wintab.h"
#include "platform/window_place.h"

namespace cvl {

constexpr uint32_t kTabletPacketCapacity = 256;

struct TabletState {
  void* tablet_window = nullptr;
  platform::WtContext tablet_context = nullptr;
  float pressure_scale = 0.0f;
  uint32_t last_pressure = 100;
  std::array<platform::WtPacket, kTabletPacketCapacity> packets{};
  uint32_t packet_count = 0;
  platform::ScreenPoint tablet_origin;
};

TabletState& tablet();

int32_t init_tablet(void* window);
int32_t set_tablet_origin();
int32_t close_tablet();
int32_t reset_tablet_pressure();
int32_t read_tablet_packets();
int32_t read_tablet_pressure(uint32_t index);
int32_t read_raw_tablet_pressure(uint32_t index);
int32_t is_packet_invert(uint32_t index);
int32_t packet_status(uint32_t index);
int32_t read_tablet_x(uint32_t index);
int32_t read_tablet_y(uint32_t index);

}  // namespace cvl
