// Owned, uninitialised arrays for the engine's pixel stores.
//
// Canvas buffers are large and every user fills them before reading, so they are
// allocated without value-initialisation. Allocation throws std::bad_alloc on
// failure, which the export's catch-all turns into the call's failure value.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace cvl {

template <class T>
class Buffer {
 public:
  Buffer() = default;
  explicit Buffer(size_t count) : data_(new T[count]), size_(count) {}

  // Allocates without throwing; the buffer stays empty when memory is short.
  static Buffer try_allocate(size_t count) {
    Buffer b;
    b.data_.reset(new (std::nothrow) T[count]);
    if (b.data_) b.size_ = count;
    return b;
  }

  T* get() const { return data_.get(); }
  size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }
  T& operator[](size_t i) const { return data_[i]; }
  void reset() {
    data_.reset();
    size_ = 0;
  }

 private:
  std::unique_ptr<T[]> data_;
  size_t size_ = 0;
};

}  // namespace cvl
