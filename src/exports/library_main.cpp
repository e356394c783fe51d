// The shared library's own translation unit: every export lives in the engine
// archive linked whole into it; nothing needs to run when the library loads on
// POSIX, where display changes are reported by the host instead of a hidden window.
#include "corvel/corvel.h"
