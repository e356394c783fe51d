#include "draw/region_fill.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <vector>

#include "imaging/tone/colour_distance.h"

namespace cvl::imaging {
namespace {

// Columns x1..x2 of row y, reached from row y - dy.
struct Span {
  int32_t x1, x2, y, dy;
};

// Pixel-at-a-time run finders over any region's open(x); see PaintedRegion
// for what each returns.
template <class Region>
int32_t scan_open_until(const Region& r, int32_t x, int32_t end) {
  while (x < end && r.open(x)) ++x;
  return x;
}
template <class Region>
int32_t scan_closed_until(const Region& r, int32_t x, int32_t end) {
  while (x < end && !r.open(x)) ++x;
  return x;
}
template <class Region>
int32_t scan_open_from(const Region& r, int32_t x) {
  while (x > 0 && r.open(x - 1)) --x;
  return x;
}

// A region whose claimed pixels stop matching once painted, so the picture
// itself records what has been filled.
template <class Near>
class PaintedRegion {
 public:
  PaintedRegion(const ImageView& image, Near near, const Colour& colour)
      : image_(image), near_(near), colour_(colour) {}
  void select_row(int32_t y) { row_ = image_.row(y); }
  void prefetch(int32_t y, int32_t x) const {
    __builtin_prefetch(image_.row(y) + static_cast<ptrdiff_t>(x) * image_.channels);
  }
  bool open(int32_t x) const { return near_(row_ + static_cast<ptrdiff_t>(x) * image_.channels); }
  void claim(int32_t x1, int32_t x2) {
    fill_span(row_ + static_cast<ptrdiff_t>(x1) * image_.channels, x2 - x1 + 1, image_.channels, colour_);
  }

  // The first closed column in x..end - 1 (end when there is none).
  int32_t open_until(int32_t x, int32_t end) const {
    if constexpr (kBlocks) {
      for (; x + 4 <= end; x += 4) {
        const int m = block(x);
        if (m != 15) return x + std::countr_one(static_cast<unsigned>(m));
      }
    }
    return scan_open_until(*this, x, end);
  }
  // The first open column in x..end - 1 (end when there is none).
  int32_t closed_until(int32_t x, int32_t end) const {
    if constexpr (kBlocks) {
      for (; x + 4 <= end; x += 4) {
        const int m = block(x);
        if (m != 0) return x + std::countr_zero(static_cast<unsigned>(m));
      }
    }
    return scan_closed_until(*this, x, end);
  }
  // The leftmost column of the open run ending at x - 1 (x when x - 1 is closed).
  int32_t open_from(int32_t x) const {
    // Most runs start at a wall right beside where the scan came in.
    if (x == 0 || !open(x - 1)) return x;
    if constexpr (kBlocks) {
      for (; x >= 4; x -= 4) {
        const unsigned closed = ~static_cast<unsigned>(block(x - 4)) & 15u;
        if (closed) return x - 4 + (32 - std::countl_zero(closed));
      }
    }
    return scan_open_from(*this, x);
  }

 private:
  static constexpr bool kBlocks = requires(const Near& n, const uint8_t* p) { n.match4(p); };
  int block(int32_t x) const {
    if constexpr (kBlocks) return near_.match4(row_ + static_cast<ptrdiff_t>(x) * 4);
    return 0;
  }

  ImageView image_;
  Near near_;
  Colour colour_;
  uint8_t* row_ = nullptr;
};

// A region recorded in a byte map, optionally also painted: for colour-match
// maps, and for fills whose colour would still match after painting.
template <class Near, bool Paint>
class MappedRegion {
 public:
  MappedRegion(const ImageView& image, Near near, const Colour& colour, uint8_t* map, int32_t pitch)
      : image_(image), near_(near), colour_(colour), map_(map), pitch_(pitch) {}
  void select_row(int32_t y) {
    row_ = image_.row(y);
    map_row_ = map_ + static_cast<ptrdiff_t>(y) * pitch_;
  }
  void prefetch(int32_t y, int32_t x) const {
    __builtin_prefetch(image_.row(y) + static_cast<ptrdiff_t>(x) * image_.channels);
    __builtin_prefetch(map_ + static_cast<ptrdiff_t>(y) * pitch_ + x);
  }
  bool open(int32_t x) const { return map_row_[x] == 0 && near_(row_ + static_cast<ptrdiff_t>(x) * image_.channels); }
  void claim(int32_t x1, int32_t x2) {
    std::memset(map_row_ + x1, 1, static_cast<size_t>(x2 - x1 + 1));
    if constexpr (Paint)
      fill_span(row_ + static_cast<ptrdiff_t>(x1) * image_.channels, x2 - x1 + 1, image_.channels, colour_);
  }
  int32_t open_until(int32_t x, int32_t end) const { return scan_open_until(*this, x, end); }
  int32_t closed_until(int32_t x, int32_t end) const { return scan_closed_until(*this, x, end); }
  int32_t open_from(int32_t x) const { return scan_open_from(*this, x); }

 private:
  ImageView image_;
  Near near_;
  Colour colour_;
  uint8_t* map_;
  int32_t pitch_;
  uint8_t* row_ = nullptr;
  uint8_t* map_row_ = nullptr;
};

// The span walk. Each popped span lies on one row: pixels open there are
// claimed in runs, the run's extent is queued for the row beyond, and parts
// that stick out past the span they came from are queued back towards where
// it came from (the only way round a corner).
constexpr int32_t kPrefetchRows = 16;

template <class Region>
int64_t scan_fill(Region& region, int32_t width, int32_t height, Point seed) {
  region.select_row(seed.y);
  if (!region.open(seed.x)) return 0;
  int64_t filled = 0;
  std::vector<Span> stack;
  stack.reserve(256);
  auto push = [&](int32_t x1, int32_t x2, int32_t y, int32_t dy) {
    if (y >= 0 && y < height) stack.push_back({x1, x2, y, dy});
  };
  auto claim = [&](int32_t x1, int32_t x2) {
    region.claim(x1, x2);
    filled += x2 - x1 + 1;
  };
  push(seed.x, seed.x, seed.y, 1);
  push(seed.x, seed.x, seed.y - 1, -1);
  while (!stack.empty()) {
    auto [x1, x2, y, dy] = stack.back();
    stack.pop_back();
    // A corridor running up or down the picture: while the span's row holds
    // exactly the span between closed pixels, the walk below would claim it and
    // queue the same span for the next row, and nothing else; do that here
    // without the stack.
    for (;;) {
      region.select_row(y);
      // A narrow corridor visits a new row, and a new page, every few pixels;
      // ask for the rows ahead early.
      const int32_t ahead = y + kPrefetchRows * dy;
      if (ahead >= 0 && ahead < height) region.prefetch(ahead, x1);
      if ((x1 > 0 && region.open(x1 - 1)) || (x2 + 1 < width && region.open(x2 + 1)) ||
          region.open_until(x1, x2 + 1) <= x2)
        break;
      claim(x1, x2);
      y += dy;
      if (y < 0 || y >= height) break;
    }
    if (y < 0 || y >= height) continue;
    int32_t x = x1;
    if (region.open(x)) {
      x = region.open_from(x);
      if (x < x1) {
        claim(x, x1 - 1);
        push(x, x1 - 1, y - dy, -dy);
      }
    }
    while (x1 <= x2) {
      const int32_t run = x1;
      x1 = region.open_until(x1, width);
      if (x1 > run) claim(run, x1 - 1);
      if (x1 > x) push(x, x1 - 1, y + dy, dy);
      if (x1 - 1 > x2) push(x2 + 1, x1 - 1, y - dy, -dy);
      ++x1;
      x1 = region.closed_until(x1, x2);
      x = x1;
    }
  }
  return filled;
}

bool usable(const ImageView& image, Point seed) {
  return image.data && supported_channels(image.channels) && seed.x >= 0 && seed.y >= 0 && seed.x < image.width &&
         seed.y < image.height;
}

Colour seed_colour(const ImageView& image, Point seed) {
  return colour_of(image.row(seed.y) + static_cast<ptrdiff_t>(seed.x) * image.channels, image.channels);
}

}  // namespace

int64_t flood_fill(const ImageView& image, Point seed, const Colour& colour, int32_t tolerance) {
  if (!usable(image, seed)) return -1;
  const Colour key = seed_colour(image, seed);
  return with_near_colour(image.channels, key, tolerance, [&](auto near) -> int64_t {
    if (!near(colour.data())) {
      PaintedRegion region(image, near, colour);
      return scan_fill(region, image.width, image.height, seed);
    }
    // The paint would still match, so painted pixels cannot tell themselves
    // apart: remember them in a map instead.
    std::vector<uint8_t> map(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), 0);
    MappedRegion<decltype(near), true> region(image, near, colour, map.data(), image.width);
    return scan_fill(region, image.width, image.height, seed);
  });
}

int64_t colour_match_map(const ImageView& image, Point seed, int32_t tolerance, uint8_t* map, int32_t map_pitch) {
  if (!usable(image, seed) || !map) return -1;
  for (int32_t y = 0; y < image.height; ++y)
    std::memset(map + static_cast<ptrdiff_t>(y) * map_pitch, 0, static_cast<size_t>(image.width));
  const Colour key = seed_colour(image, seed);
  return with_near_colour(image.channels, key, tolerance, [&](auto near) -> int64_t {
    MappedRegion<decltype(near), false> region(image, near, Colour{}, map, map_pitch);
    return scan_fill(region, image.width, image.height, seed);
  });
}

}  // namespace cvl::imaging
