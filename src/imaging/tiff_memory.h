// libtiff handles over a byte range in memory, quiet and with a cap on every
// allocation libtiff makes on a file's say-so.
#pragma once

#include <tiffio.h>

#include <cstddef>
#include <cstdint>

namespace cvl::imaging {

// Opens a read-only TIFF over `data`; the bytes must outlive the handle. Null on failure.
TIFF* open_tiff_memory(const uint8_t* data, size_t size);

// True once libtiff has reported an error on a handle from open_tiff_memory.
bool tiff_had_error(TIFF* t);

struct TiffCloser {
  void operator()(TIFF* t) const {
    if (t) TIFFClose(t);
  }
};

}  // namespace cvl::imaging
