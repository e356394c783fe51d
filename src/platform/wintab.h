// The pen-tablet interface, loaded at run time so that the engine runs without it.
//
// The records use the interface's own field widths on every platform: its LONG is
// 32 bits, while C `long` is 64 bits on LP64 systems, so only fixed-width types
// appear here.
#pragma once

#include <cstdint>

namespace cvl::platform {

// WTInfoA categories and indices the engine asks for.
constexpr uint32_t kWtiDefContext = 3;
constexpr uint32_t kWtiDevices = 100;
constexpr uint32_t kDvcNPressure = 15;

// Packet data bits (status, x, y, normal pressure) and the context option bits.
constexpr uint32_t kPkStatus = 0x0002;
constexpr uint32_t kPkX = 0x0080;
constexpr uint32_t kPkY = 0x0100;
constexpr uint32_t kPkNormalPressure = 0x0400;
constexpr uint32_t kCxoSystem = 0x0001;
constexpr uint32_t kTpsInvert = 0x0010;

struct WtAxis {
  int32_t min;
  int32_t max;
  uint32_t units;
  uint32_t resolution;  // 16.16 fixed point
};
static_assert(sizeof(WtAxis) == 16);

struct WtLogContext {
  char name[40];
  uint32_t options, status, locks, msg_base, device, pkt_rate;
  uint32_t pkt_data, pkt_mode, move_mask;
  uint32_t btn_dn_mask, btn_up_mask;
  int32_t in_org_x, in_org_y, in_org_z;
  int32_t in_ext_x, in_ext_y, in_ext_z;
  int32_t out_org_x, out_org_y, out_org_z;
  int32_t out_ext_x, out_ext_y, out_ext_z;
  uint32_t sens_x, sens_y, sens_z;  // 16.16 fixed point
  int32_t sys_mode;
  int32_t sys_org_x, sys_org_y;
  int32_t sys_ext_x, sys_ext_y;
  uint32_t sys_sens_x, sys_sens_y;
};
static_assert(sizeof(WtLogContext) == 172);

// One packet for the data mask status | x | y | normal pressure, in the
// interface's field order.
struct WtPacket {
  uint32_t status;
  int32_t x;
  int32_t y;
  uint32_t pressure;
};
static_assert(sizeof(WtPacket) == 16);

using WtContext = void*;

// Each call binds its function by name on first use. While the library or the
// function is missing the call does nothing and returns 0, and the binding is
// tried again on the next call; once bound it stays bound for the process.
uint32_t wt_info(uint32_t category, uint32_t index, void* output);
WtContext wt_open(void* window, WtLogContext* context, int32_t enable);
int32_t wt_packets_get(WtContext context, int32_t max_packets, void* packets);
int32_t wt_queue_size_set(WtContext context, int32_t packets);
int32_t wt_close(WtContext context);

// Forgets the loaded library and every bound function, so that the next call
// looks the library up again (the tests switch between libraries).
void wt_unload();

}  // namespace cvl::platform
