#include "draw/region_fill.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "core/rand.h"
#include "imaging/tone/colour_replace.h"
#include "support/spiral_maze.h"

namespace cvl::imaging {
namespace {

int32_t distance(const uint8_t* a, const uint8_t* b, int ch) {
  if (ch == 1) return 3 * (a[0] - b[0]) * (a[0] - b[0]);
  int32_t s = 0;
  for (int k = 0; k < 3; ++k) s += (a[k] - b[k]) * (a[k] - b[k]);
  return s;
}

// The region by a plain breadth-first walk over the four neighbours.
std::vector<uint8_t> reference_region(const std::vector<uint8_t>& px, int w, int h, int ch, int sx, int sy, int tol) {
  std::vector<uint8_t> in(size_t(w) * h, 0);
  const uint8_t* key = &px[(size_t(sy) * w + sx) * ch];
  auto near = [&](int x, int y) { return distance(&px[(size_t(y) * w + x) * ch], key, ch) <= tol; };
  if (!near(sx, sy)) return in;
  std::deque<std::pair<int, int>> queue{{sx, sy}};
  in[size_t(sy) * w + sx] = 1;
  while (!queue.empty()) {
    auto [x, y] = queue.front();
    queue.pop_front();
    const int nx[4] = {x - 1, x + 1, x, x}, ny[4] = {y, y, y - 1, y + 1};
    for (int i = 0; i < 4; ++i) {
      if (nx[i] < 0 || ny[i] < 0 || nx[i] >= w || ny[i] >= h || in[size_t(ny[i]) * w + nx[i]]) continue;
      if (!near(nx[i], ny[i])) continue;
      in[size_t(ny[i]) * w + nx[i]] = 1;
      queue.push_back({nx[i], ny[i]});
    }
  }
  return in;
}

// Blotchy pictures of a few colours, so that regions have holes, bays and
// diagonal-only contacts.
std::vector<uint8_t> blotches(int w, int h, int ch) {
  static const uint8_t palette[4][4] = {{0, 0, 0, 255}, {20, 10, 0, 128}, {200, 180, 90, 255}, {0, 0, 0, 0}};
  std::vector<uint8_t> px(size_t(w) * h * ch);
  for (int i = 0; i < w * h; ++i) {
    const int c = crt_rand() % 7 < 4 ? 0 : crt_rand() % 4;
    for (int k = 0; k < ch; ++k) px[size_t(i) * ch + k] = palette[c][k];
  }
  return px;
}

TEST(RegionFill, MatchesABreadthFirstWalkOnRandomPictures) {
  crt_srand(7);
  const int w = 37, h = 23;
  for (int ch : {1, 3, 4}) {
    for (int tol : {0, 299, 300, 600, 195075}) {
      for (int trial = 0; trial < 12; ++trial) {
        std::vector<uint8_t> px = blotches(w, h, ch);
        const int sx = crt_rand() % w, sy = crt_rand() % h;
        const std::vector<uint8_t> want = reference_region(px, w, h, ch, sx, sy, tol);
        int64_t want_count = 0;
        for (uint8_t v : want) want_count += v;

        std::vector<uint8_t> map(size_t(w + 3) * h, 9);
        ASSERT_EQ(colour_match_map({px.data(), w, h, ch, w * ch}, {sx, sy}, tol, map.data(), w + 3), want_count);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) ASSERT_EQ(map[size_t(y) * (w + 3) + x], want[size_t(y) * w + x]);
        EXPECT_EQ(map[size_t(w)], 9);  // the map's padding is left alone

        // Paint with a colour far from everything, and with the seed's own
        // colour (which still matches after painting).
        for (bool own : {false, true}) {
          std::vector<uint8_t> painted = px;
          const uint8_t* seed = &px[(size_t(sy) * w + sx) * ch];
          const Colour colour = own ? Colour{seed[0], seed[ch > 1], seed[ch > 2 ? 2 : 0], 77} : Colour{7, 250, 255, 77};
          ASSERT_EQ(flood_fill({painted.data(), w, h, ch, w * ch}, {sx, sy}, colour, tol), want_count);
          for (int i = 0; i < w * h; ++i)
            for (int k = 0; k < ch; ++k)
              ASSERT_EQ(painted[size_t(i) * ch + k], want[size_t(i)] ? colour[k] : px[size_t(i) * ch + k])
                  << ch << " ch, tol " << tol << ", pixel " << i;
        }
      }
    }
  }
}

// Corridors, where the fill walks row after row without its stack: spiral
// mazes and serpentines of narrow corridors, seeded anywhere (in a corridor's
// middle too, so that it walks both ways), painted and mapped.
std::vector<uint8_t> serpentine(int edge, int corridor) {
  static const uint8_t open[4] = {10, 20, 30, 255}, wall[4] = {0, 0, 0, 255};
  std::vector<uint8_t> px(size_t(edge) * edge * 4);
  for (int y = 0; y < edge; ++y)
    for (int x = 0; x < edge; ++x) {
      // A wall every corridor + 1 columns, open at the bottom and top in turn.
      const int k = x / (corridor + 1);
      const bool is_wall = x % (corridor + 1) == corridor && y != (k % 2 ? 0 : edge - 1);
      std::memcpy(&px[(size_t(y) * edge + x) * 4], is_wall ? wall : open, 4);
    }
  return px;
}

TEST(RegionFill, MatchesABreadthFirstWalkAlongCorridors) {
  static const uint8_t open[4] = {10, 20, 30, 255}, wall[4] = {0, 0, 0, 255};
  struct Shape {
    bool spiral;
    int edge, corridor;
  };
  for (const Shape shape : {Shape{true, 29, 1}, Shape{true, 40, 2}, Shape{true, 33, 3}, Shape{false, 30, 1},
                            Shape{false, 31, 2}, Shape{false, 17, 4}}) {
    const int e = shape.edge;
    std::vector<uint8_t> px =
        shape.spiral ? test::spiral_maze(e, shape.corridor, open, wall) : serpentine(e, shape.corridor);
    for (const Point seed : {Point{1, 1}, Point{0, e / 2}, Point{e - 2, e - 1}, Point{e / 2, e / 2}, Point{2, e / 3}}) {
      for (int tol : {0, 300}) {
        const std::vector<uint8_t> want = reference_region(px, e, e, 4, seed.x, seed.y, tol);
        int64_t want_count = 0;
        for (uint8_t v : want) want_count += v;
        std::vector<uint8_t> map(size_t(e) * e, 9);
        ASSERT_EQ(colour_match_map({px.data(), e, e, 4, e * 4}, seed, tol, map.data(), e), want_count);
        EXPECT_EQ(map, want) << "map, edge " << e << " corridor " << shape.corridor;
        const uint8_t* key = &px[(size_t(seed.y) * e + seed.x) * 4];
        for (const Colour colour : {Colour{7, 250, 255, 77}, Colour{key[0], key[1], key[2], key[3]}}) {
          std::vector<uint8_t> painted = px;
          ASSERT_EQ(flood_fill({painted.data(), e, e, 4, e * 4}, seed, colour, tol), want_count);
          for (int i = 0; i < e * e; ++i)
            for (int k = 0; k < 4; ++k)
              ASSERT_EQ(painted[size_t(i) * 4 + k], want[size_t(i)] ? colour[k] : px[size_t(i) * 4 + k])
                  << "edge " << e << " corridor " << shape.corridor << " seed " << seed.x << ", " << seed.y << " pixel "
                  << i;
        }
      }
    }
  }
}

TEST(RegionFill, ConnectsThroughEdgesNotCorners) {
  // A checkerboard: at tolerance 0 the seed is its own region.
  std::vector<uint8_t> px(5 * 5);
  for (int i = 0; i < 25; ++i) px[size_t(i)] = (i % 5 + i / 5) % 2 ? 255 : 0;
  EXPECT_EQ(flood_fill({px.data(), 5, 5, 1, 5}, {2, 2}, {128, 0, 0, 0}, 0), 1);
  EXPECT_EQ(px[12], 128);
  EXPECT_EQ(px[6], 0);
}

TEST(RegionFill, RefusesBadImagesSeedsAndNegativeTolerance) {
  std::vector<uint8_t> px(4 * 4 * 4, 0), map(16, 5);
  const ImageView v{px.data(), 4, 4, 4, 16};
  for (Point seed : {Point{-1, 0}, Point{0, -1}, Point{4, 0}, Point{0, 4}}) {
    EXPECT_EQ(flood_fill(v, seed, {1, 1, 1, 1}, 0), -1);
    EXPECT_EQ(colour_match_map(v, seed, 0, map.data(), 4), -1);
  }
  EXPECT_EQ(map[0], 5);
  EXPECT_EQ(flood_fill({px.data(), 4, 4, 2, 8}, {0, 0}, {1, 1, 1, 1}, 0), -1);
  EXPECT_EQ(flood_fill(v, {0, 0}, {1, 1, 1, 1}, -1), 0);
  EXPECT_EQ(px[0], 0);
}

TEST(RegionFill, FillsACanvasSizedSpiralMazeQuickly) {
  const int edge = 4096;
  const uint8_t open[4] = {10, 20, 30, 255}, wall[4] = {0, 0, 0, 255};
  std::vector<uint8_t> px = test::spiral_maze(edge, 2, open, wall);
  int64_t open_count = 0;
  for (size_t i = 0; i < px.size(); i += 4) open_count += px[i] == 10;
  const auto start = std::chrono::steady_clock::now();
  const int64_t filled = flood_fill({px.data(), edge, edge, 4, edge * 4}, {1, 1}, {200, 0, 0, 255}, 0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(filled, open_count);  // the whole winding corridor, nothing else
  EXPECT_GT(open_count, int64_t(edge) * edge / 2);
  for (size_t i = 0; i < px.size(); i += 4) ASSERT_NE(px[i], 10);
  RecordProperty("seconds", std::to_string(seconds));
  // Timing means little in instrumented builds.
#if defined(__OPTIMIZE__) && !defined(__SANITIZE_ADDRESS__)
  EXPECT_LT(seconds, 1.0);
#endif
}

TEST(ColourReplace, ReplacesWithinTheSquaredDistanceAnywhere) {
  // Distances from (100, 100, 100): 0, 300 (10, 10, 10), 301, and far.
  std::vector<uint8_t> px = {100, 100, 100, 9, 110, 110, 110, 8, 110, 110, 111, 7, 0, 0, 0, 6};
  std::vector<uint8_t> copy = px;
  EXPECT_EQ(replace_colour({copy.data(), 4, 1, 4, 16}, {100, 100, 100, 0}, {1, 2, 3, 4}, 300, true), 2);
  EXPECT_EQ(copy, (std::vector<uint8_t>{1, 2, 3, 9, 1, 2, 3, 8, 110, 110, 111, 7, 0, 0, 0, 6}));
  copy = px;
  EXPECT_EQ(replace_colour({copy.data(), 4, 1, 4, 16}, {100, 100, 100, 0}, {1, 2, 3, 4}, 0, false), 1);
  EXPECT_EQ(copy, (std::vector<uint8_t>{1, 2, 3, 4, 110, 110, 110, 8, 110, 110, 111, 7, 0, 0, 0, 6}));
  // A one-byte pixel is a grey: a step of 10 is a distance of 300.
  std::vector<uint8_t> grey = {100, 110, 111};
  EXPECT_EQ(replace_colour({grey.data(), 3, 1, 1, 3}, {100, 0, 0, 0}, {5, 0, 0, 0}, 300, false), 2);
  EXPECT_EQ(grey, (std::vector<uint8_t>{5, 5, 111}));
  EXPECT_EQ(replace_colour({grey.data(), 3, 1, 2, 6}, {100, 0, 0, 0}, {5, 0, 0, 0}, 300, false), -1);
}

}  // namespace
}  // namespace cvl::imaging
