// A picture of the whole screen, as a CF_DIB block like the clipboard's.
#pragma once

#include <cstdint>
#include <vector>

namespace cvl::platform {

// False when there is no screen to read (no display could be opened).
bool capture_screen_dib(std::vector<uint8_t>& block);

}  // namespace cvl::platform
