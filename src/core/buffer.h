// The engine's pixel stores: owned, uninitialised arrays (see imaging/block_array.h).
// Allocation throws std::bad_alloc on failure, which the export's catch-all turns
// into the call's failure value.
#pragma once

#include "imaging/block_array.h"

namespace cvl {

template <class T>
using Buffer = imaging::BlockArray<T>;

}  // namespace cvl
