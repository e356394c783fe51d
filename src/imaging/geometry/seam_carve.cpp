#include "imaging/geometry/seam_carve.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace cvl::imaging {
namespace {

// The image being carved: pixels, their energies and protection costs, and the
// column each pixel had in the source, all shrinking together row by row.
class Carving {
 public:
  Carving(const ImageView& src, SeamProtection protection) : w_(src.width), h_(src.height), ch_(src.channels) {
    stride_ = w_;
    pixels_.resize(size_t(w_) * h_ * ch_);
    for (int32_t y = 0; y < h_; ++y) std::memcpy(&pixels_[size_t(y) * w_ * ch_], src.row(y), size_t(w_) * ch_);
    column_.resize(size_t(w_) * h_);
    for (int32_t y = 0; y < h_; ++y)
      for (int32_t x = 0; x < w_; ++x) column_[size_t(y) * w_ + x] = x;
    // A full protection outweighs the largest energy a free seam can gather.
    const uint64_t largest_seam = uint64_t(h_) * kMaxEnergy * uint64_t(ch_) + 1;
    guard_.assign(size_t(w_) * h_, 0);
    if (protection.values)
      for (int32_t y = 0; y < h_; ++y)
        for (int32_t x = 0; x < w_; ++x) {
          const uint64_t p = protection.values[size_t(y) * size_t(protection.stride) + size_t(x)];
          guard_[size_t(y) * w_ + x] = (largest_seam * p + 65534) / 65535;
        }
    energy_.resize(size_t(w_) * h_);
    for (int32_t y = 0; y < h_; ++y)
      for (int32_t x = 0; x < w_; ++x) energy_[at(x, y)] = energy(x, y);
  }

  int32_t width() const { return w_; }
  const uint8_t* pixel(int32_t x, int32_t y) const { return &pixels_[at(x, y) * ch_]; }

  // Finds the cheapest seam and removes it; `removed` receives, for each row,
  // the source column of the pixel taken out.
  void remove_cheapest(std::vector<int32_t>& removed) {
    find_seam(seam_);
    removed.resize(size_t(h_));
    for (int32_t y = 0; y < h_; ++y) {
      removed[size_t(y)] = column_[at(seam_[size_t(y)], y)];
      remove(seam_[size_t(y)], y);
    }
    --w_;
    // Only the two pixels that became neighbours across the seam see new energy.
    for (int32_t y = 0; y < h_; ++y)
      for (int32_t x = std::max(seam_[size_t(y)] - 1, 0); x <= std::min(seam_[size_t(y)], w_ - 1); ++x)
        energy_[at(x, y)] = energy(x, y);
  }

 private:
  static constexpr uint64_t kMaxEnergy = 4 * 255;  // per channel: one difference to each neighbour

  size_t at(int32_t x, int32_t y) const { return size_t(y) * size_t(stride_) + size_t(x); }

  // The sum over channels of the differences to the four neighbours (a
  // border pixel stands in for the missing ones). Differences to both sides,
  // rather than across the pixel, so that fine alternating detail counts.
  uint32_t energy(int32_t x, int32_t y) const {
    const uint8_t* p = pixel(x, y);
    const uint8_t* l = pixel(std::max(x - 1, 0), y);
    const uint8_t* r = pixel(std::min(x + 1, w_ - 1), y);
    const uint8_t* u = pixel(x, std::max(y - 1, 0));
    const uint8_t* d = pixel(x, std::min(y + 1, h_ - 1));
    uint32_t e = 0;
    for (int32_t c = 0; c < ch_; ++c)
      e += uint32_t(std::abs(r[c] - p[c]) + std::abs(p[c] - l[c]) + std::abs(d[c] - p[c]) + std::abs(p[c] - u[c]));
    return e;
  }

  uint64_t cost(int32_t x, int32_t y) const { return energy_[at(x, y)] + guard_[at(x, y)]; }

  void find_seam(std::vector<int32_t>& seam) {
    total_.resize(size_t(w_) * h_);
    for (int32_t x = 0; x < w_; ++x) total_[size_t(x)] = cost(x, 0);
    for (int32_t y = 1; y < h_; ++y) {
      const uint64_t* above = &total_[size_t(y - 1) * w_];
      uint64_t* here = &total_[size_t(y) * w_];
      for (int32_t x = 0; x < w_; ++x) {
        uint64_t best = above[x];
        if (x > 0) best = std::min(best, above[x - 1]);
        if (x + 1 < w_) best = std::min(best, above[x + 1]);
        here[x] = best + cost(x, y);
      }
    }
    seam.resize(size_t(h_));
    const uint64_t* last = &total_[size_t(h_ - 1) * w_];
    int32_t x = int32_t(std::min_element(last, last + w_) - last);
    for (int32_t y = h_ - 1;; --y) {
      seam[size_t(y)] = x;
      if (y == 0) break;
      const uint64_t* above = &total_[size_t(y - 1) * w_];
      int32_t best = x;
      if (x > 0 && above[x - 1] < above[best]) best = x - 1;
      if (x + 1 < w_ && above[x + 1] < above[best]) best = x + 1;
      x = best;
    }
  }

  template <class T>
  void close_gap(std::vector<T>& v, int32_t x, int32_t y, int32_t per_pixel) {
    T* row = &v[at(0, y) * per_pixel];
    std::memmove(row + size_t(x) * per_pixel, row + size_t(x + 1) * per_pixel, size_t(w_ - 1 - x) * per_pixel * sizeof(T));
  }

  void remove(int32_t x, int32_t y) {
    close_gap(pixels_, x, y, ch_);
    close_gap(column_, x, y, 1);
    close_gap(energy_, x, y, 1);
    close_gap(guard_, x, y, 1);
  }

  int32_t w_, h_, ch_, stride_;
  std::vector<uint8_t> pixels_;
  std::vector<int32_t> column_;
  std::vector<uint32_t> energy_;
  std::vector<uint64_t> guard_;
  std::vector<uint64_t> total_;
  std::vector<int32_t> seam_;
};

void copy_rows(const Carving& c, const ImageView& dst) {
  for (int32_t y = 0; y < dst.height; ++y) std::memcpy(dst.row(y), c.pixel(0, y), size_t(dst.width) * dst.channels);
}

// The pixel put in after a duplicated one: the mean of it and its right
// neighbour, alpha-weighted for four channels so transparency lends no colour.
void between(const uint8_t* a, const uint8_t* b, uint8_t* out, int32_t ch) {
  if (ch != 4) {
    for (int32_t c = 0; c < ch; ++c) out[c] = uint8_t((a[c] + b[c] + 1) / 2);
    return;
  }
  const uint32_t weight = uint32_t(a[3]) + b[3];
  if (weight == 0) {
    std::memset(out, 0, 4);
    return;
  }
  for (int32_t c = 0; c < 3; ++c) out[c] = uint8_t((a[c] * a[3] + b[c] * b[3] + weight / 2) / weight);
  out[3] = uint8_t((weight + 1) / 2);
}

// Widens by duplicating the seams that removal would take first, each once,
// so that one cheap seam is not stretched over and over. More than doubling
// takes several rounds.
void widen(const ImageView& src, SeamProtection protection, const ImageView& dst) {
  const int32_t ch = src.channels, h = src.height;
  std::vector<uint8_t> pixels(size_t(src.width) * h * ch);
  ImageView cur{pixels.data(), src.width, h, ch, src.width * ch};
  for (int32_t y = 0; y < h; ++y) std::memcpy(cur.row(y), src.row(y), size_t(src.width) * ch);
  std::vector<uint16_t> guard;
  if (protection.values) {
    guard.resize(size_t(src.width) * h);
    for (int32_t y = 0; y < h; ++y)
      std::memcpy(&guard[size_t(y) * src.width], protection.values + size_t(y) * protection.stride,
                  size_t(src.width) * 2);
  }
  std::vector<int32_t> removed;
  while (cur.width < dst.width) {
    const int32_t w = cur.width, step = std::min(dst.width - w, w), grown = w + step;
    std::vector<uint8_t> doubled(size_t(w) * h, 0);
    {
      Carving carving(cur, {guard.empty() ? nullptr : guard.data(), w});
      for (int32_t k = 0; k < step; ++k) {
        carving.remove_cheapest(removed);
        for (int32_t y = 0; y < h; ++y) doubled[size_t(y) * w + size_t(removed[size_t(y)])] = 1;
      }
    }
    std::vector<uint8_t> next(size_t(grown) * h * ch);
    std::vector<uint16_t> next_guard(guard.empty() ? 0 : size_t(grown) * h);
    for (int32_t y = 0; y < h; ++y) {
      const uint8_t* s = cur.row(y);
      uint8_t* d = &next[size_t(y) * grown * ch];
      int32_t out = 0;
      for (int32_t x = 0; x < w; ++x) {
        const int32_t copies = doubled[size_t(y) * w + size_t(x)] ? 2 : 1;
        std::memcpy(d + size_t(out) * ch, s + size_t(x) * ch, size_t(ch));
        if (copies == 2) between(s + size_t(x) * ch, s + size_t(std::min(x + 1, w - 1)) * ch, d + size_t(out + 1) * ch, ch);
        for (int32_t k = 0; k < copies && !guard.empty(); ++k)
          next_guard[size_t(y) * grown + size_t(out + k)] = guard[size_t(y) * w + size_t(x)];
        out += copies;
      }
    }
    pixels = std::move(next);
    guard = std::move(next_guard);
    cur = {pixels.data(), grown, h, ch, grown * ch};
  }
  for (int32_t y = 0; y < h; ++y) std::memcpy(dst.row(y), cur.row(y), size_t(dst.width) * ch);
}

}  // namespace

bool seam_carve_width(const ImageView& src, SeamProtection protection, const ImageView& dst) {
  if (!src.data || !dst.data || src.channels != dst.channels || src.height != dst.height || src.width <= 0 ||
      src.height <= 0 || dst.width <= 0 || (protection.values && protection.stride < src.width))
    return false;
  if (dst.width <= src.width) {
    Carving carving(src, protection);
    std::vector<int32_t> removed;
    while (carving.width() > dst.width) carving.remove_cheapest(removed);
    copy_rows(carving, dst);
    return true;
  }
  widen(src, protection, dst);
  return true;
}

}  // namespace cvl::imaging
