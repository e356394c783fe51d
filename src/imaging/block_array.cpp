#include "imaging/block_array.h"

#include <cstdlib>
#include <mutex>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace cvl::imaging {

namespace {

// Arrays from this size up are large: on Linux they start on a large-page
// boundary and are marked for large pages where the system offers them (their
// tail past the last whole large page stays in small pages, so nothing is wasted
// by rounding).
constexpr size_t kLarge = size_t{2} << 20;
constexpr size_t kSmallPage = 4096;

// An effect call makes and frees the same canvas-sized arrays every time, and a
// fresh array costs the system clearing every page of it (on some virtual machines
// far more than the copy it is made for). The large arrays freed last are kept for
// the next request of the same size, the oldest let go first to stay within a
// bound; deleting the canvas lets them all go.
constexpr int kKeptSlots = 16;
constexpr size_t kMostKeptBytes = size_t{256} << 20;

struct Kept {
  void* p = nullptr;
  size_t bytes = 0;
  uint64_t freed = 0;  // when it was kept, by the reserve's count of frees
};

struct Reserve {
  std::mutex lock;
  Kept slots[kKeptSlots];
  size_t bytes = 0;
  uint64_t frees = 0;
};

Reserve& reserve() {
  static Reserve* r = new Reserve;  // never destroyed: buffers may be freed during exit
  return *r;
}

void* fresh_large(size_t bytes) {
#if defined(__linux__)
  // posix_memalign, unlike aligned_alloc, takes sizes that are not a multiple of
  // the alignment.
  const size_t rounded = (bytes + kSmallPage - 1) / kSmallPage * kSmallPage;
  void* p = nullptr;
  if (posix_memalign(&p, kLarge, rounded) != 0) return nullptr;
  madvise(p, rounded, MADV_HUGEPAGE);  // advice only: a refusal changes nothing
  return p;
#else
  return ::operator new(bytes, std::nothrow);
#endif
}

void free_large(void* p) {
#if defined(__linux__)
  std::free(p);
#else
  ::operator delete(p, std::nothrow);
#endif
}

}  // namespace

void* acquire_block(size_t bytes) {
  if (bytes < kLarge) return ::operator new(bytes, std::nothrow);
  {
    Reserve& r = reserve();
    std::lock_guard<std::mutex> hold(r.lock);
    for (Kept& k : r.slots)
      if (k.p && k.bytes == bytes) {
        r.bytes -= bytes;
        return std::exchange(k.p, nullptr);
      }
  }
  void* p = fresh_large(bytes);
  if (!p) {
    release_kept_blocks();  // what is kept may be what this request needs
    p = fresh_large(bytes);
  }
  return p;
}

void release_block(void* p, size_t bytes) {
  if (bytes < kLarge) {
    ::operator delete(p, std::nothrow);
    return;
  }
  if (bytes > kMostKeptBytes) {
    free_large(p);
    return;
  }
  Reserve& r = reserve();
  std::lock_guard<std::mutex> hold(r.lock);
  Kept* room = nullptr;
  for (;;) {
    // An empty slot, or else the oldest kept block, which goes unless there is room.
    Kept* oldest = nullptr;
    room = nullptr;
    for (Kept& k : r.slots) {
      if (!k.p) room = &k;
      else if (!oldest || k.freed < oldest->freed) oldest = &k;
    }
    if (room && r.bytes + bytes <= kMostKeptBytes) break;
    r.bytes -= oldest->bytes;
    free_large(std::exchange(oldest->p, nullptr));
  }
  *room = {p, bytes, ++r.frees};
  r.bytes += bytes;
}

void release_kept_blocks() {
  Reserve& r = reserve();
  std::lock_guard<std::mutex> hold(r.lock);
  for (Kept& k : r.slots)
    if (k.p) free_large(std::exchange(k.p, nullptr));
  r.bytes = 0;
}

size_t kept_block_bytes() {
  Reserve& r = reserve();
  std::lock_guard<std::mutex> hold(r.lock);
  return r.bytes;
}

}  // namespace cvl::imaging
