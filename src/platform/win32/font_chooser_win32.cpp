// The system font dialog.
#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "platform/font_chooser.h"

namespace cvl::platform {

static_assert(sizeof(LOGFONTA) == kLogFontBytes);

int32_t system_choose_font(void* owner, uint8_t* logfont, bool start_from_record, uint32_t* error) {
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
