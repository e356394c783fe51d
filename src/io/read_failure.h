// Why a picture file could not be read, for exports that say it only through the
// last-error text.
#pragma once

#include "core/last_error.h"

namespace cvl {

// Looks at `path` after a failed decode: missing, a folder or other non-file,
// unreadable (the system's reason), empty, not a picture the engine reads, larger
// than the engine decodes (its size), or else damaged.
FailureCause read_failure(const char* path);

}  // namespace cvl
