#include "imaging/resample.h"

namespace cvl::imaging {

void resize_bilinear(const ImageView&, const ImageView&) {}
void decimate_area(const ImageView&, const ImageView&) {}
void to_grey8(const ImageView&, const ImageView&) {}

}  // namespace cvl::imaging
