#include "core/buffer.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace cvl::buffer_memory {

namespace {
// Arrays from this size up start on a large-page boundary and are marked for large
// pages where the system offers them; their tail past the last whole large page
// stays in small pages, so nothing is wasted by rounding.
constexpr size_t kLargePage = size_t{2} << 20;
constexpr size_t kSmallPage = 4096;
}  // namespace

void* acquire(size_t bytes) {
#if defined(__linux__)
  if (bytes >= kLargePage) {
    const size_t rounded = (bytes + kSmallPage - 1) / kSmallPage * kSmallPage;
    void* p = std::aligned_alloc(kLargePage, rounded);
    if (p) madvise(p, rounded, MADV_HUGEPAGE);  // advice only: a refusal changes nothing
    return p;
  }
#endif
  return ::operator new(bytes, std::nothrow);
}

void release(void* p, size_t bytes) {
#if defined(__linux__)
  if (bytes >= kLargePage) {
    std::free(p);
    return;
  }
#endif
  ::operator delete(p, std::nothrow);
}

}  // namespace cvl::buffer_memory
