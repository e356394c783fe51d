// The propagating smoothing effects on the directional pass set
// (inhouse_sweeps.h). On processors with AVX2 all four run eight pixels at a
// time (inhouse_sweep_lanes.h). Elsewhere Value Blur and the two noise
// reductions, which compare a pixel with its neighbour and touch nothing else
// (a horizontal sweep's rows and a vertical sweep's columns never meet), run
// here in bands, the rows of a horizontal sweep four at a time so their
// chains overlap, each step picking its blend table without a branch (the
// "keep" table writes the neighbour back unchanged); Anti Alias, which reads
// a third pixel on the next line, runs its one-step reference.
#include <cstdlib>

#include "effects/inhouse_sweep_lanes.h"
#include "effects/inhouse_sweeps.h"
#include "imaging/parallel_bands.h"

namespace cvl {
namespace {

using inhouse_sweeps::BlendTable;
using inhouse_sweeps::kSweeps;
using inhouse_sweeps::LaneRule;
using inhouse_sweeps::LaneTest;
using inhouse_sweeps::run_pass_set;
using inhouse_sweeps::Sweep;

// One sweep of a step that reads `cur` and writes only `nb`, in bands: rows of
// a horizontal sweep (each in its own scan direction, four interleaved),
// columns of a vertical one (each row of the band in the sweep's order).
template <class Step>
void run_pair_sweep(uint8_t* image, int32_t width, int32_t height, const Sweep& s, const Step& step) {
  const int32_t x0 = s.nx < 0 ? 1 : 0, x1 = s.nx > 0 ? width - 2 : width - 1;
  const int32_t y0 = s.ny < 0 ? 1 : 0, y1 = s.ny > 0 ? height - 2 : height - 1;
  if (x0 > x1 || y0 > y1) return;
  const ptrdiff_t row = static_cast<ptrdiff_t>(width) * 4;
  const ptrdiff_t to_neighbour = s.ny * row + s.nx * 4;
  const int32_t xa = s.xstep > 0 ? x0 : x1;  // first column of the scan
  const int32_t span = x1 - x0 + 1;
  if (s.ny == 0) {
    imaging::for_each_band(y1 - y0 + 1, int64_t(span) * 4, [&](int32_t first, int32_t end) {
      int32_t y = y0 + first;
      for (; y + 4 <= y0 + end; y += 4) {
        uint8_t* c0 = image + y * row + xa * 4;
        uint8_t *c1 = c0 + row, *c2 = c1 + row, *c3 = c2 + row;
        const ptrdiff_t advance = ptrdiff_t(s.xstep) * 4;
        for (int32_t i = 0; i < span; ++i, c0 += advance, c1 += advance, c2 += advance, c3 += advance) {
          step(c0, c0 + to_neighbour);
          step(c1, c1 + to_neighbour);
          step(c2, c2 + to_neighbour);
          step(c3, c3 + to_neighbour);
        }
      }
      for (; y < y0 + end; ++y) {
        uint8_t* c = image + y * row + xa * 4;
        for (int32_t i = 0; i < span; ++i, c += ptrdiff_t(s.xstep) * 4) step(c, c + to_neighbour);
      }
    });
  } else {
    imaging::for_each_band(span, int64_t(y1 - y0 + 1) * 4, [&](int32_t first, int32_t end) {
      for (int32_t y = s.ystep > 0 ? y0 : y1; y >= y0 && y <= y1; y += s.ystep) {
        uint8_t* c = image + y * row + (x0 + first) * 4;
        for (int32_t i = first; i < end; ++i, c += 4) step(c, c + to_neighbour);
      }
    });
  }
}

template <class Step>
void run_pair_pass_set(InhouseParams& p, const InhouseImages& im, const Step& step) {
  p.copy = 1;  // each step reads what the steps before it wrote
  for (const Sweep& s : kSweeps) run_pair_sweep(im.dst, im.width, im.height, s, step);
}

// Every channel of the neighbour through one table.
inline void blend4(const uint8_t* table, const uint8_t* cur, uint8_t* nb) {
  for (int i = 0; i < 4; ++i) nb[i] = table[cur[i] * 256 + nb[i]];
}

// The pass set on eight pixels at a time where the processor has the lanes.
bool run_in_lanes(InhouseParams& p, const InhouseImages& im, const LaneRule& rule) {
  if (!inhouse_sweeps::sweep_lanes_available()) return false;
  p.copy = 1;  // each step reads what the steps before it wrote
  inhouse_sweeps::run_lane_pass_set(im.dst, im.width, im.height, rule);
  return true;
}

}  // namespace

void inhouse_value_blur(InhouseParams& p, const InhouseImages& im) {
  if (run_in_lanes(p, im, LaneRule{LaneTest::DarkerOrLighter, {p.p[0], p.p[1], 0}, {}})) return;
  const BlendTable darker(p.p[0]), lighter(p.p[1]), keep = BlendTable::keep();
  // Indexed by (v - u > 2) + 2 * (u - v > 2): an index rather than a choice,
  // so the compiler has no branch to make of it.
  const uint8_t* const tables[3] = {keep.data(), darker.data(), lighter.data()};
  run_pair_pass_set(p, im, [&tables](const uint8_t* cur, uint8_t* nb) {
    const int32_t v = luminance(cur), u = luminance(nb);
    blend4(tables[int(v - u > 2) + 2 * int(u - v > 2)], cur, nb);
  });
}

void inhouse_anti_alias(InhouseParams& p, const InhouseImages& im) {
  if (!inhouse_sweeps::sweep_lanes_available()) return inhouse_anti_alias_reference(p, im);
  p.copy = 1;  // the third pixel is read from the image the sweeps change
  inhouse_sweeps::AntiAliasRule rule;
  rule.weight[0] = p.p[0], rule.weight[1] = p.p[1];
  rule.rise_floor = inhouse_sweeps::whole_floor((1.0 - p.p[2]) * 255.0);
  rule.fall_floor = inhouse_sweeps::whole_floor((1.0 - p.p[3]) * 255.0);
  inhouse_sweeps::run_anti_alias_lanes(im.dst, im.width, im.height, rule);
}

void inhouse_noise_reduction(InhouseParams& p, const InhouseImages& im) {
  p.p[0] = 1.0 - p.p[0] * 0.5;
  const double threshold = p.p[1] * 255.0;
  if (run_in_lanes(p, im,
                   LaneRule{LaneTest::LuminanceWithin, {p.p[0], 0, 0}, {inhouse_sweeps::largest_below(threshold)}}))
    return;
  const BlendTable blend(p.p[0]), keep = BlendTable::keep();
  const uint8_t* const tables[2] = {keep.data(), blend.data()};
  run_pair_pass_set(p, im, [&tables, threshold](const uint8_t* cur, uint8_t* nb) {
    blend4(tables[int(std::abs(luminance(cur) - luminance(nb)) < threshold)], cur, nb);
  });
}

void inhouse_noise_reduction_rgb(InhouseParams& p, const InhouseImages& im) {
  for (int i = 0; i < 6; i += 2) p.p[i] = 1.0 - p.p[i] * 0.5;
  const double threshold[3] = {p.p[1] * 255.0, p.p[3] * 255.0, p.p[5] * 255.0};
  const LaneRule rule{LaneTest::ChannelsWithin,
                      {p.p[0], p.p[2], p.p[4]},
                      {inhouse_sweeps::largest_below(threshold[0]), inhouse_sweeps::largest_below(threshold[1]),
                       inhouse_sweeps::largest_below(threshold[2])}};
  if (run_in_lanes(p, im, rule)) return;
  const BlendTable blend[3] = {BlendTable(p.p[0]), BlendTable(p.p[2]), BlendTable(p.p[4])};
  const BlendTable keep = BlendTable::keep();
  const uint8_t* tables[3][2] = {
      {keep.data(), blend[0].data()}, {keep.data(), blend[1].data()}, {keep.data(), blend[2].data()}};
  run_pair_pass_set(p, im, [&tables, &threshold](const uint8_t* cur, uint8_t* nb) {
    for (int i = 0; i < 3; ++i) {
      const uint8_t* table = tables[i][int(std::abs(cur[i] - nb[i]) < threshold[i])];
      nb[i] = table[cur[i] * 256 + nb[i]];
    }
  });
}

}  // namespace cvl
