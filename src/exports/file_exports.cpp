// Image files and the new-RGBA buffer.
#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"
#include "core/tool_settings.h"
#include "io/image_read.h"
#include "io/image_write.h"
#include "io/new_rgba.h"
#include "io/page_save.h"
#include "io/thumbnail.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_GetDPIFromFile(const char* path) {
  return guarded("GetDPIFromFile Excpt", int32_t{72}, [&] { return dpi_from_file(path); });
}

CVL_API int32_t CVL_CALL CVL_ReadFromFile(const char* path) {
  return guarded("ReadFromFile Excpt", int32_t{0}, [&] { return read_from_file(engine(), tool(), path); });
}

CVL_API int32_t CVL_CALL CVL_ReadFromFileRGB24(uint8_t* dst, int32_t width, int32_t height, const char* path) {
  return guarded("ReadFromFileRGB24 Excpt", int32_t{0},
                 [&] { return read_from_file_into(engine(), tool(), dst, width, height, path, 3); });
}

CVL_API int32_t CVL_CALL CVL_ReadFromFileRGBA32(uint8_t* dst, int32_t width, int32_t height, const char* path) {
  return guarded("ReadFromFileRGBA32 Excpt", int32_t{0},
                 [&] { return read_from_file_into(engine(), tool(), dst, width, height, path, 4); });
}

CVL_API int32_t CVL_CALL CVL_WriteToFileRGB24(const uint8_t* image, int32_t width, int32_t height, const char* path,
                                              const char* ext, int32_t dpi) {
  return guarded("WriteToFileRGB24 Excpt", int32_t{0},
                 [&] { return write_to_file_rgb24(image, width, height, path, ext, dpi); });
}

CVL_API int32_t CVL_CALL CVL_WriteToFileRGBA32(const uint8_t* image, int32_t width, int32_t height, const char* path,
                                               const char* ext, int32_t dpi) {
  return guarded("WriteToFileRGBA32 Excpt", int32_t{0},
                 [&] { return write_to_file_rgba32(image, width, height, path, ext, dpi); });
}

CVL_API int32_t CVL_CALL CVL_WriteToFileWebP(const uint8_t* image, int32_t width, int32_t height, int32_t channels,
                                             const char* path, int32_t quality) {
  return guarded("WriteToFileWebP Excpt", int32_t{0},
                 [&] { return write_webp_file(image, width, height, channels, path, quality); });
}

// These four return 0 whatever happens: a failure is told only by the last-error text.
CVL_API int32_t CVL_CALL CVL_SavePageToFileRGB24(const char* path, const char* ext, int32_t dpi) {
  guarded("CVL_SavePageToFileRGB24 Excpt",
          [&] { report_failure("SavePageToFileRGB24", save_page_rgb24(engine(), path, ext, dpi)); });
  return 0;
}

CVL_API int32_t CVL_CALL CVL_SavePageToFileRGB32(const char* path, const char* ext, int32_t dpi) {
  guarded("CVL_SavePageToFileRGB32 Excpt",
          [&] { report_failure("SavePageToFileRGB32", save_page_rgb32(engine(), path, ext, dpi)); });
  return 0;
}

CVL_API int32_t CVL_CALL CVL_MakeThumbnail(const char* src_path, const char* dst_path) {
  guarded("MakeThumbnails Excpt", [&] { report_failure("MakeThumbnail", make_thumbnail(src_path, dst_path)); });
  return 0;
}

CVL_API int32_t CVL_CALL CVL_MakeWebPic(const char* src_path, const char* dst_path, int32_t max_width,
                                        int32_t max_height) {
  guarded("MakeWebPic Excpt", [&] {
    report_failure("MakeWebPic", make_web_picture(src_path, dst_path, max_width, max_height));
  });
  return 0;
}

CVL_API int32_t CVL_CALL CVL_GetNewRGBAWidth(void) { return new_rgba().width; }

CVL_API int32_t CVL_CALL CVL_GetNewRGBAHeight(void) { return new_rgba().height; }

CVL_API int32_t CVL_CALL CVL_DeleteNewRGBA(void) {
  guarded("DeleteNewRGBA Excpt", [&] { delete_new_rgba(); });
  return 0;
}

CVL_API int32_t CVL_CALL CVL_IsNewRGBA32Transparent(void) {
  return guarded("IsNewRGBA32Transparent Excpt", 0, [] { return is_new_rgba_transparent(); });
}

CVL_API int32_t CVL_CALL CVL_SetInNewRGBA(void) {
  return guarded("SetInNewRGBA Excpt", 0, [] { return set_in_new_rgba(engine()); });
}

CVL_API void CVL_CALL CVL_GetNewRGBA32(uint8_t* dst) {
  guarded("GetNewRGBA32 Excpt", [&] { get_new_rgba32(dst); });
}

CVL_API void CVL_CALL CVL_GetNewRGBA24(uint8_t* dst) {
  guarded("GetNewRGBA24 Excpt", [&] { get_new_rgba24(dst); });
}

CVL_API void CVL_CALL CVL_GetResizedNewRGBA24(uint8_t* dst, int32_t width, int32_t height) {
  guarded("GetResizedNewRGB24 Excpt", [&] { get_resized_new_rgba24(dst, width, height); });
}

CVL_API const char* CVL_CALL CVL_GetFileTypeName(const char* path) {
  return guarded("GetFileTypeName Excpt", "", [&] { return file_type_name(path); });
}

CVL_API int32_t CVL_CALL CVL_GetFileOrientation(const char* path) {
  return guarded("GetFileOrientation Excpt", int32_t{0}, [&] { return file_orientation(path); });
}

}  // extern "C"
