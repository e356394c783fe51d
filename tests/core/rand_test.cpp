#include "core/rand.h"

#include <gtest/gtest.h>

#include "core/rand_array.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

TEST(Rand, SeedOneGivesTheClassicFifteenBitSequence) {
  crt_srand(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int v : expected) EXPECT_EQ(crt_rand(), v);
}

TEST(Rand, ResultsNeverExceedFifteenBits) {
  crt_srand(0xDEADBEEF);
  for (int i = 0; i < 100000; ++i) {
    const int v = crt_rand();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, kRandMax);
  }
}

using RandTables = test::CanvasTest;

TEST_F(RandTables, SameSeedGivesIdenticalTablesAndNewSeedRebuildsOnNewSize) {
  EXPECT_EQ(e().rand_255.length, kRandTableLength);
  std::vector<uint8_t> t255(e().rand_255.data.get(), e().rand_255.data.get() + kRandTableLength);
  std::vector<uint8_t> t254(e().rand_254.data.get(), e().rand_254.data.get() + kRandTableLength);
  uint8_t max255 = 0, max254 = 0;
  for (uint32_t i = 0; i < kRandTableLength; ++i) {
    max255 = std::max(max255, t255[i]);
    max254 = std::max(max254, t254[i]);
  }
  EXPECT_EQ(max255, 254);
  EXPECT_EQ(max254, 253);

  CVL_DeleteImage();
  CVL_SetRandomSeed(1);
  CVL_CreateImage(nullptr, 8, 8, 16, 0);
  EXPECT_TRUE(std::equal(t255.begin(), t255.end(), e().rand_255.data.get()));
  EXPECT_TRUE(std::equal(t254.begin(), t254.end(), e().rand_254.data.get()));

  // The first entry of each table is the first draw after srand(seed).
  crt_srand(1);
  EXPECT_EQ(t255[0], 41 % 255);

  CVL_SetRandomSeed(7);
  EXPECT_EQ(e().rand_255.seed, 1);  // not rebuilt until the next size change
  CVL_NewSize(nullptr, 8, 8, 16, 0);
  EXPECT_EQ(e().rand_255.seed, 7);
  crt_srand(7);
  EXPECT_EQ(e().rand_255.data[0], crt_rand() % 255);
}

TEST_F(RandTables, MatchingTableIsReusedWithoutDrawing) {
  RandArrayByte table;
  make_rand_array_byte(table, 1000, 300, e().random_seed);
  const uint8_t* first = table.data.get();
  crt_srand(99);
  const int expected_next = crt_rand();
  crt_srand(99);
  make_rand_array_byte(table, 1000, 300, e().random_seed);
  EXPECT_EQ(table.data.get(), first);
  EXPECT_EQ(crt_rand(), expected_next);  // reuse draws nothing
  make_rand_array_byte(table, 256, 300, e().random_seed);  // another modulus rebuilds
  EXPECT_EQ(table.modulus, 256);
}

}  // namespace
}  // namespace cvl
