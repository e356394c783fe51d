// One decoder per file format, each taking the whole file in memory and producing
// packed RGBA32. decode_memory picks among them by content; the fuzz targets and
// the damaged-file tests call them one by one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/codec.h"

namespace cvl::imaging {

bool decode_png(const uint8_t* data, size_t size, Image& out);
bool decode_jpeg(const uint8_t* data, size_t size, Image& out);
bool decode_tiff(const uint8_t* data, size_t size, Image& out);
bool decode_gif(const uint8_t* data, size_t size, Image& out);
bool decode_bmp(const uint8_t* data, size_t size, Image& out);
bool decode_tga(const uint8_t* data, size_t size, Image& out);
bool decode_pcx(const uint8_t* data, size_t size, Image& out);
bool decode_psd(const uint8_t* data, size_t size, Image& out);
bool decode_webp(const uint8_t* data, size_t size, Image& out);

// A device-independent bitmap as held by BMP files, metafiles and the clipboard: a
// BITMAPINFOHEADER (or later) block with its colour table, then the pixel bits.
bool decode_dib(const uint8_t* info, size_t info_size, const uint8_t* bits, size_t bits_size, Image& out);

// The same packed in one block (the clipboard's CF_DIB): header, masks, colour table, bits.
bool decode_packed_dib(const uint8_t* block, size_t size, Image& out);
bool probe_packed_dib(const uint8_t* block, size_t size, int32_t& width, int32_t& height);

bool probe_png(const uint8_t* data, size_t size, ImageInfo& info);
bool probe_jpeg(const uint8_t* data, size_t size, ImageInfo& info);
bool probe_tiff(const uint8_t* data, size_t size, ImageInfo& info);
bool probe_bmp(const uint8_t* data, size_t size, ImageInfo& info);
bool probe_psd(const uint8_t* data, size_t size, ImageInfo& info);
bool probe_webp(const uint8_t* data, size_t size, ImageInfo& info);

}  // namespace cvl::imaging
