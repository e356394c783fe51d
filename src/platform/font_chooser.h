// The font chooser: the system's dialog, or on hosts without one the host's
// callback, filling a 60-byte LOGFONTA record.
#pragma once

#include <cstdint>

namespace cvl::platform {

inline constexpr int32_t kLogFontBytes = 60;

// Shows the chooser for `owner`, starting from the record's font when
// `start_from_record` is set. Returns non-zero when a font was chosen (the
// record then holds it); on 0, *error is the dialog's failure code, 0 when the
// user cancelled. Without a host callback on POSIX, fills in a sans-serif face
// found by fontconfig at 16 pixels and returns 1.
int32_t choose_font(void* owner, uint8_t* logfont, bool start_from_record, uint32_t* error);

// The platform's chooser, reached when the host has no font entry; *error is 0 on entry.
int32_t system_choose_font(void* owner, uint8_t* logfont, bool start_from_record, uint32_t* error);

}  // namespace cvl::platform
