// PDF albums.
#include "corvel/corvel.h"
#include "core/guard.h"
#include "io/pdf_album.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_I2PDF_Reset(void) {
  return guarded("I2PDF_Reset Excpt", 0, [] { return album_reset(); });
}

CVL_API int32_t CVL_CALL CVL_I2PDF_AddImage(const char* path) {
  return guarded("I2PDF_AddImage Excpt", 0, [&] { return album_add_image(path); });
}

CVL_API int32_t CVL_CALL CVL_I2PDF_MakePDF(const char* path) {
  return guarded("I2PDF_MakePDF Excpt", 0, [&] { return make_album_pdf(path, false); });
}

CVL_API int32_t CVL_CALL CVL_I2PDF_MakePDFSlideshow(const char* path) {
  return guarded("I2PDF_MakePDFSlideshow Excpt", 0, [&] { return make_album_pdf(path, true); });
}

}  // extern "C"
