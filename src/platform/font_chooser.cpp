// A host's font entry replaces the platform's chooser.
#include "platform/font_chooser.h"

#include <cstring>

#include "platform/host_callbacks.h"

namespace cvl::platform {

int32_t choose_font(void* owner, uint8_t* logfont, bool start_from_record, uint32_t* error) {
  *error = 0;
  const CVL_HostCallbacks& host = host_callbacks();
  if (!host.choose_font) return system_choose_font(owner, logfont, start_from_record, error);
  if (!start_from_record) std::memset(logfont, 0, kLogFontBytes);
  uint32_t code = 0;
  const int32_t chosen = host.choose_font(host.user_data, logfont, &code);
  if (!chosen) *error = code;
  return chosen;
}

}  // namespace cvl::platform
