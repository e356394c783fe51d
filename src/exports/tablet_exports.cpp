// Pen tablet.
#include "corvel/corvel.h"
#include "core/guard.h"
#include "io/tablet.h"
#include "platform/window_place.h"

using namespace cvl;

namespace {
// Packet indices arrive signed; a negative one is simply out of range.
uint32_t packet_index(int32_t index) { return static_cast<uint32_t>(index); }
}  // namespace

extern "C" {

CVL_API int32_t CVL_CALL CVL_InitTablet(void* window) {
  return guarded("InitTablet Excpt", 0, [&] { return init_tablet(window); });
}

CVL_API int32_t CVL_CALL CVL_SetTabletOrigin(void) {
  return guarded("SetTabletOrigin Excpt", 0, [] { return set_tablet_origin(); });
}
CVL_API int32_t CVL_CALL CVL_CloseTablet(void) {
  return guarded("CloseTablet Excpt", 0, [] { return close_tablet(); });
}
CVL_API int32_t CVL_CALL CVL_ResetTabletPressure(void) {
  return guarded("ResetTabletPressure Excpt", 0, [] { return reset_tablet_pressure(); });
}
CVL_API int32_t CVL_CALL CVL_ReadTabletPackets(void) {
  return guarded("ReadTabletPackets Excpt", 0, [] { return read_tablet_packets(); });
}
CVL_API int32_t CVL_CALL CVL_ReadTabletPressure(int32_t index) { return read_tablet_pressure(packet_index(index)); }
CVL_API int32_t CVL_CALL CVL_ReadRawTabletPressure(int32_t index) { return read_raw_tablet_pressure(packet_index(index)); }
CVL_API int32_t CVL_CALL CVL_IsPacketInvert(int32_t index) { return is_packet_invert(packet_index(index)); }
CVL_API int32_t CVL_CALL CVL_PacketStatus(int32_t index) { return packet_status(packet_index(index)); }
CVL_API int32_t CVL_CALL CVL_ReadTabletX(int32_t index) { return read_tablet_x(packet_index(index)); }
CVL_API int32_t CVL_CALL CVL_ReadTabletY(int32_t index) { return read_tablet_y(packet_index(index)); }

CVL_API void CVL_CALL CVL_SetTabletWindowPlace(int32_t client_x, int32_t client_y, int32_t screen_width,
                                               int32_t screen_height) {
  guarded("SetTabletWindowPlace Excpt",
          [&] { platform::set_window_place(client_x, client_y, screen_width, screen_height); });
}

}  // extern "C"
