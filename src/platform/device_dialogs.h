// The choices a device service asks of the person at the host: the movie
// compressor and the scanner. Each goes to the host's callback when it set one,
// and otherwise to the system's dialog or its default.
#pragma once

#include <cstdint>

namespace cvl::platform {

struct AviStream;

// The compressor for the movie stream as a four-character code (0: frames stored
// uncompressed) and its quality; false when the person cancelled. Without a host
// entry the system's dialog asks, owned by `owner`.
bool choose_compression(AviStream* stream, void* owner, uint32_t& handler, int32_t& quality);

// An index into the `count` device names, or -1 when the person cancelled.
// Without a host entry the first device is taken.
int32_t choose_scanner(const char* const* devices, int32_t count);

}  // namespace cvl::platform
