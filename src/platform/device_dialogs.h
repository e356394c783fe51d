// The choices a device service asks of the person at the host: the movie
// compressor and the scanner. Each goes to the host's callback when it set one,
// and otherwise takes the dialog's default.
#pragma once

#include <cstdint>

namespace cvl::platform {

// The compressor for a new movie as a four-character code (0: frames stored
// uncompressed) and its quality; false when the person cancelled. Without a host
// entry the frames are stored uncompressed.
bool choose_compression(uint32_t& handler, int32_t& quality);

// An index into the `count` device names, or -1 when the person cancelled.
// Without a host entry the first device is taken.
int32_t choose_scanner(const char* const* devices, int32_t count);

}  // namespace cvl::platform
