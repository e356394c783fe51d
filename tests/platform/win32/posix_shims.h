// The few POSIX calls the shared tests use, for the Windows build of the suite
// (force-included there): scratch directories and environment variables.
#pragma once
#ifdef _WIN32

#include <direct.h>
#include <io.h>
#include <process.h>
#include <stdlib.h>
#include <string.h>

inline char* mkdtemp(char* templ) {
  if (_mktemp_s(templ, strlen(templ) + 1) != 0) return nullptr;
  return _mkdir(templ) == 0 ? templ : nullptr;
}

inline int setenv(const char* name, const char* value, int overwrite) {
  if (!overwrite && getenv(name)) return 0;
  return _putenv_s(name, value);
}

inline int unsetenv(const char* name) { return _putenv_s(name, ""); }

#endif
