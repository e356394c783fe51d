// Writing caller images to files, the format chosen by the extension.
#pragma once

#include <cstdint>

namespace cvl {

// Writes a packed RGB24 image. ".bmp", ".png", ".emf", ".gif", ".jpg", ".pcx", ".psd"
// ".wmf" and ".webp" (lossless) are known; 1 when the file was written, 0 when writing failed or the
// extension is not one of them (then no file is created or touched).
int32_t write_to_file_rgb24(const uint8_t* image, int32_t width, int32_t height, const char* path, const char* ext,
                            int32_t dpi);
// Writes a packed RGBA32 image: ".png", ".tga", ".tif" and ".webp" (lossless).
int32_t write_to_file_rgba32(const uint8_t* image, int32_t width, int32_t height, const char* path, const char* ext,
                             int32_t dpi);

// Writes a packed RGB24 (channels 3) or RGBA32 (channels 4) image as WebP: lossy at
// `quality` 0..100, lossless for any other value. 1 when the file was written.
int32_t write_webp_file(const uint8_t* image, int32_t width, int32_t height, int32_t channels, const char* path,
                        int32_t quality);

// Resolutions as the writers store them: whole dots per metre, or dots per inch.
double dots_per_metre(int32_t dpi);

}  // namespace cvl
