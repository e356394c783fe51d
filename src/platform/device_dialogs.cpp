#include "platform/device_dialogs.h"

#include "platform/avi_file.h"
#include "platform/host_callbacks.h"

namespace cvl::platform {

bool choose_compression(AviStream* stream, void* owner, uint32_t& handler, int32_t& quality) {
  handler = 0;
  quality = 0;
  const CVL_HostCallbacks& host = host_callbacks();
  if (!host.choose_compression) return avi_compression_dialog(stream, owner, handler, quality);
  return host.choose_compression(host.user_data, &handler, &quality) != 0;
}

int32_t choose_scanner(const char* const* devices, int32_t count) {
  if (count <= 0) return -1;
  const CVL_HostCallbacks& host = host_callbacks();
  if (!host.choose_scanner) return 0;
  const int32_t chosen = host.choose_scanner(host.user_data, devices, count);
  // Anything outside the list counts as a cancel.
  return chosen >= 0 && chosen < count ? chosen : -1;
}

}  // namespace cvl::platform
