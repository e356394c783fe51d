#include "imaging/block_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace cvl::imaging {
namespace {

constexpr size_t kLargeBytes = size_t{3} << 20;  // above the large-block size

TEST(BlockArray, LargeBlocksFreedAreHandedToTheNextRequestOfTheirSizeOnly) {
  release_kept_blocks();
  void* first = nullptr;
  {
    BlockArray<uint8_t> a(kLargeBytes);
    first = a.data();
    a[kLargeBytes - 1] = 7;
  }
  {
    BlockArray<uint16_t> other(kLargeBytes / 2 + 1);  // another size: not the kept block
    EXPECT_NE(static_cast<void*>(other.data()), first);
    BlockArray<uint16_t> same(kLargeBytes / 2);  // the same number of bytes
    EXPECT_EQ(static_cast<void*>(same.data()), first);
  }
  // Many blocks freed at once: only a bounded number are kept, and all of them go
  // when asked; every block handed out is whole and writable.
  std::vector<BlockArray<uint8_t>> many;
  for (int i = 0; i < 12; ++i) many.emplace_back(kLargeBytes + size_t(i) * 4096);
  many.clear();
  release_kept_blocks();
  BlockArray<uint8_t> again(kLargeBytes);
  again[0] = again[kLargeBytes - 1] = 1;
  EXPECT_EQ(again.size(), kLargeBytes);
}

TEST(BlockArray, TheOldestKeptBlocksGoFirstWhenMoreAreFreed) {
  release_kept_blocks();
  std::vector<BlockArray<uint8_t>> many;
  std::vector<void*> where;
  for (int i = 0; i < 24; ++i) {  // more than are kept, each of its own size
    many.emplace_back(kLargeBytes + size_t(i) * 4096);
    where.push_back(many.back().data());
  }
  many.clear();  // freed first to last
  size_t newest_sixteen = 0;
  for (int i = 8; i < 24; ++i) newest_sixteen += kLargeBytes + size_t(i) * 4096;
  EXPECT_EQ(kept_block_bytes(), newest_sixteen);
  BlockArray<uint8_t> newest(kLargeBytes + 23 * 4096);
  EXPECT_EQ(static_cast<void*>(newest.data()), where[23]);
  EXPECT_EQ(kept_block_bytes(), newest_sixteen - newest.size());
  release_kept_blocks();
  EXPECT_EQ(kept_block_bytes(), 0u);
}

TEST(BlockArray, EmptyImpossibleAndMovedArraysHoldNothing) {
  EXPECT_FALSE(BlockArray<uint8_t>::try_allocate(0));
  EXPECT_FALSE(BlockArray<uint32_t>::try_allocate(~size_t{0} / 2));  // more bytes than size_t holds
  EXPECT_THROW(BlockArray<uint32_t>(~size_t{0} / 2), std::bad_alloc);
  BlockArray<uint8_t> small(100);
  uint8_t* p = small.data();
  BlockArray<uint8_t> moved(std::move(small));
  EXPECT_EQ(moved.data(), p);
  EXPECT_EQ(moved.size(), 100u);
  EXPECT_FALSE(small);  // NOLINT(bugprone-use-after-move): a moved-from array is empty
  moved = BlockArray<uint8_t>(kLargeBytes);
  EXPECT_EQ(moved.size(), kLargeBytes);
  moved.reset();
  EXPECT_FALSE(moved);
}

}  // namespace
}  // namespace cvl::imaging
