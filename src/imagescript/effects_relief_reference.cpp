#include "imagescript/effects_reference.h"
#include "imagescript/relief_support.h"

namespace cvl::imagescript {
namespace {

// Every pixel's shade worked out from its slopes, row after row on one thread.
template <class Recipe>
bool shade_by_slopes_plain(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const Recipe recipe(v);
  const auto grey = grey_plane(rgba, w, h);
  auto visit = [&](size_t i, int32_t gx, int32_t gy) { recipe.paint(rgba + i * 4, recipe.shade(gx, gy)); };
  for (int32_t y = 0; y < h; ++y) slopes_of_row(grey.data(), w, h, y, visit);
  return true;
}

}  // namespace

bool run_emboss_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return shade_by_slopes_plain<EmbossRecipe>(v, rgba, w, h);
}

bool run_bump_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return shade_by_slopes_plain<BumpRecipe>(v, rgba, w, h);
}

}  // namespace cvl::imagescript
