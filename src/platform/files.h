// File services the host asks of the engine.
#pragma once

#include <string>

namespace cvl::platform {

// Renames a file or directory; false when it fails, and always when `to` exists:
// an existing file is never replaced.
bool rename_no_replace(const char* from, const char* to);

// The directory where the system keeps its own shared files.
std::string system_directory();

}  // namespace cvl::platform
