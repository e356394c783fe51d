#include <dlfcn.h>

#include "platform/shared_library.h"

namespace cvl::platform {

void* library_open(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }

void* library_function(void* library, const char* name) { return dlsym(library, name); }

void library_close(void* library) { dlclose(library); }

}  // namespace cvl::platform
