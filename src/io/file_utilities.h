// Small file services: renaming without replacing, and the system directory.
#pragma once

#include <cstdint>

namespace cvl {

// 1 when renamed; 0 on failure, and when `new_path` already exists.
int32_t rename_file(const char* old_path, const char* new_path);

// The system directory in an engine-held 264-byte buffer, valid until the next call.
const char* dir_info();

}  // namespace cvl
