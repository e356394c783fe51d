// Scanners: whether one can be used, the choice of device, and one acquisition.
#pragma once

#include <cstdint>
#include <vector>

namespace cvl::platform {

// True when at least one scanning device can be used.
bool scanner_available();

// Lists the devices and asks the host which to use (default: the first); the
// choice is kept for later acquisitions. False without devices or on a cancel.
bool scanner_select_source();

// Scans one image from the chosen device (or the first one) and returns it as a
// device-independent bitmap: a 40-byte header, then 24-bit bottom-up rows.
// Empty when there is no device, the scan was cancelled or failed.
std::vector<uint8_t> scanner_acquire();

}  // namespace cvl::platform
