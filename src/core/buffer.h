// Owned, uninitialised arrays for the engine's pixel stores.
//
// Canvas buffers are large and every user fills them before reading, so they are
// allocated without value-initialisation. Allocation throws std::bad_alloc on
// failure, which the export's catch-all turns into the call's failure value.
//
// Canvas-sized arrays are made and freed on every effect call, so their first
// touch is a large part of a call's cost: `buffer_memory` keeps the last few large
// arrays freed for the next request of their size, and asks the system for large
// pages for new ones, which turns thousands of page faults into a handful.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace cvl {

namespace buffer_memory {
// Raw storage of `bytes` bytes, suitably aligned for any pixel type; nullptr when
// memory is short. Freed with `release(p, bytes)` given the same size.
void* acquire(size_t bytes);
void release(void* p, size_t bytes);
// Returns the kept arrays to the system (the canvas is deleted, or memory is short).
void release_kept();
}  // namespace buffer_memory

template <class T>
class Buffer {
  static_assert(std::is_trivially_default_constructible_v<T> && std::is_trivially_destructible_v<T>,
                "Buffer holds plain pixel values");

 public:
  Buffer() = default;
  explicit Buffer(size_t count) : Buffer(try_allocate(count)) {
    if (count != 0 && !data_) throw std::bad_alloc();
  }
  Buffer(Buffer&& other) noexcept : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  Buffer& operator=(Buffer&& other) noexcept {
    if (this != &other) {
      reset();
      data_ = std::exchange(other.data_, nullptr);
      size_ = std::exchange(other.size_, 0);
    }
    return *this;
  }
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  ~Buffer() { reset(); }

  // Allocates without throwing; the buffer stays empty when memory is short.
  static Buffer try_allocate(size_t count) {
    Buffer b;
    if (count == 0 || count > static_cast<size_t>(-1) / sizeof(T)) return b;
    b.data_ = static_cast<T*>(buffer_memory::acquire(count * sizeof(T)));
    if (b.data_) b.size_ = count;
    return b;
  }

  T* get() const { return data_; }
  size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }
  T& operator[](size_t i) const { return data_[i]; }
  void reset() {
    if (data_) buffer_memory::release(data_, size_ * sizeof(T));
    data_ = nullptr;
    size_ = 0;
  }

 private:
  T* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace cvl
