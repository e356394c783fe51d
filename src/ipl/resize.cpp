// Resampling every layer with a filter chosen by name.
#include <cstring>
#include <iterator>

#include "imaging/geometry/resample_separable.h"
#include "ipl/geometry.h"
#include "ipl/layer_frame.h"

namespace cvl {
namespace {

using imaging::ResampleMethod;

struct NamedMethod {
  const char* name;
  ResampleMethod method;
};

constexpr NamedMethod kMethods[] = {
    {"Area Average", ResampleMethod::AreaAverage}, {"Nearest Neighbor", ResampleMethod::Nearest},
    {"Bilinear", ResampleMethod::Bilinear},        {"Bicubic", ResampleMethod::Bicubic},
    {"Box", ResampleMethod::Box},                  {"Triangle", ResampleMethod::Triangle},
    {"Hamming", ResampleMethod::Hamming},          {"Gaussian", ResampleMethod::Gaussian},
    {"Bell", ResampleMethod::Bell},                {"B-Spline", ResampleMethod::BSpline},
    {"Cubic 1", ResampleMethod::Cubic1},           {"Cubic 2", ResampleMethod::Cubic2},
    {"Lanczos3", ResampleMethod::Lanczos3},        {"Mitchell", ResampleMethod::Mitchell},
    {"Sinc", ResampleMethod::Sinc},                {"Hermite", ResampleMethod::Hermite},
    {"Hanning", ResampleMethod::Hanning},          {"Catrom", ResampleMethod::Catrom},
};

const NamedMethod* find_method(const char* name) {
  if (!name) return nullptr;
  for (const NamedMethod& m : kMethods)
    if (std::strcmp(m.name, name) == 0) return &m;
  return nullptr;
}

}  // namespace

int32_t resize_filter_count() { return static_cast<int32_t>(std::size(kMethods)); }
const char* resize_filter_name(int32_t index) {
  return index >= 0 && index < resize_filter_count() ? kMethods[index].name : nullptr;
}

FailureCause ipl_resize(Engine& canvas, int32_t new_width, int32_t new_height, const char* filter_name) {
  const NamedMethod* m = find_method(filter_name);
  if (!m) {
    std::string names;
    for (const NamedMethod& n : kMethods) names += (names.empty() ? "" : ", ") + std::string(n.name);
    if (!filter_name) return "no filter named (" + names + ")";
    return "unknown filter \"" + std::string(filter_name) + "\" (" + names + ")";
  }
  if (FailureCause empty = empty_size(new_width, new_height); !empty.empty()) return empty;
  const ResampleMethod method = m->method;
  // The resampler reads each layer a row at a time, so no canvas-sized copy is made.
  for_each_layer_streamed(canvas, new_width, new_height,
                          [method](const imaging::RowSource& layer_rows, const imaging::ImageView& out) {
                            return imaging::resample(layer_rows, out, method);
                          });
  return {};
}

FailureCause empty_size(int32_t width, int32_t height) {
  if (width > 0 && height > 0) return {};
  return "the size " + std::to_string(width) + " x " + std::to_string(height) + " is empty";
}

}  // namespace cvl
