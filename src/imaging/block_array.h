// Owned, uninitialised arrays of plain values, for pixel stores and the
// canvas-sized working planes of whole-image operations.
//
// Such arrays are large and every user fills them before reading, so they are
// allocated without value-initialisation. An effect call makes and frees the same
// canvas-sized arrays every time, so their first touch would be a large part of
// its cost: the last few large blocks freed are kept for the next request of their
// size, and new ones are asked of the system in large pages, which turns thousands
// of page faults into a handful.
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace cvl::imaging {

// Raw storage of `bytes` bytes, suitably aligned for any pixel type; nullptr when
// memory is short. Freed with `release_block(p, bytes)` given the same size.
void* acquire_block(size_t bytes);
void release_block(void* p, size_t bytes);
// Returns the kept blocks to the system (the canvas is deleted, or memory is short).
void release_kept_blocks();
// The bytes kept for reuse now.
size_t kept_block_bytes();

template <class T>
class BlockArray {
  static_assert(std::is_trivially_default_constructible_v<T> && std::is_trivially_destructible_v<T>,
                "BlockArray holds plain values");

 public:
  BlockArray() = default;
  // Throws std::bad_alloc when memory is short.
  explicit BlockArray(size_t count) : BlockArray(try_allocate(count)) {
    if (count != 0 && !data_) throw std::bad_alloc();
  }
  BlockArray(BlockArray&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  BlockArray& operator=(BlockArray&& other) noexcept {
    if (this != &other) {
      reset();
      data_ = std::exchange(other.data_, nullptr);
      size_ = std::exchange(other.size_, 0);
    }
    return *this;
  }
  BlockArray(const BlockArray&) = delete;
  BlockArray& operator=(const BlockArray&) = delete;
  ~BlockArray() { reset(); }

  // Allocates without throwing; the array stays empty when memory is short.
  static BlockArray try_allocate(size_t count) {
    BlockArray b;
    if (count == 0 || count > static_cast<size_t>(-1) / sizeof(T)) return b;
    b.data_ = static_cast<T*>(acquire_block(count * sizeof(T)));
    if (b.data_) b.size_ = count;
    return b;
  }

  T* get() const { return data_; }
  T* data() const { return data_; }
  size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }
  T& operator[](size_t i) const { return data_[i]; }
  void reset() {
    if (data_) release_block(data_, size_ * sizeof(T));
    data_ = nullptr;
    size_ = 0;
  }

 private:
  T* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace cvl::imaging
