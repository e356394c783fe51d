// Libraries the engine opens at run time, when present, and the functions it
// finds in them by name.
#pragma once

namespace cvl::platform {

// The library at `path`, or nullptr when it is missing or will not load. No
// system dialog appears for a missing library.
void* library_open(const char* path);

// The address of the function `name` exported by `library`, or nullptr. On
// Windows `name` may also be an ordinal made with MAKEINTRESOURCEA.
void* library_function(void* library, const char* name);

void library_close(void* library);

}  // namespace cvl::platform
