// The system font dialog; a host's font entry replaces it.
#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "platform/font_chooser.h"
#include "platform/host_callbacks.h"

namespace cvl::platform {

static_assert(sizeof(LOGFONTA) == kLogFontBytes);

int32_t choose_font(void* owner, uint8_t* logfont, bool start_from_record, uint32_t* error) {
  *error = 0;
  const CVL_HostCallbacks& host = host_callbacks();
  if (host.choose_font) {
    if (!start_from_record) std::memset(logfont, 0, kLogFontBytes);
    uint32_t code = 0;
    const int32_t chosen = host.choose_font(host.user_data, logfont, &code);
    if (!chosen) *error = code;
    return chosen;
  }
  if (!start_from_record) std::memset(logfont, 0, kLogFontBytes);
  CHOOSEFONTA choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = static_cast<HWND>(owner);
  choose.lpLogFont = reinterpret_cast<LOGFONTA*>(logfont);
  choose.rgbColors = 0;
  choose.Flags = start_from_record ? (CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT) : CF_SCREENFONTS;
  const BOOL chosen = ChooseFontA(&choose);
  if (!chosen) *error = CommDlgExtendedError();
  return chosen ? 1 : 0;
}

}  // namespace cvl::platform
