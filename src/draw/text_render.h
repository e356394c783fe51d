// Text drawn into 8-bit images with FreeType glyphs from faces that fontconfig
// resolves by family, weight and slant.
#pragma once

#include <cstdint>
#include <string>

#include "imaging/image_view.h"
#include "imaging/pixel_span.h"
#include "draw/shapes.h"

namespace cvl::imaging {

// A font as a host's font record describes it.
struct FontRequest {
  std::string face;     // family name; empty takes the desktop's sans-serif
  int32_t height = 0;   // > 0: cell height (ascent + descent) in pixels, < 0: em height, 0: default
  int32_t width = 0;    // > 0: average character width in pixels, else the face's own proportions
  int32_t weight = 0;   // 1..1000 as in OpenType (400 normal, 700 bold), 0: normal
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
};

// Smooth: glyphs anti-aliased, edges laid over the image by their coverage.
// Plain: one-bit glyphs that replace the pixels they cover.
enum class TextMode { Smooth, Plain };

// Draws `text` (UTF-8, bytes that are not UTF-8 read as Latin-1; '\n' starts a
// new line) with the top of its first line's cell at y and its first pen
// position at x, clipped to the image right and below of (x, y). `ink` gets
// the box of the pixels written (right < left when none). False when no face
// can be opened or sized, or the image is not one it can draw on.
bool draw_text(const ImageView& image, const char* text, const FontRequest& font, int32_t x, int32_t y,
               const Colour& colour, TextMode mode, Rect* ink);

}  // namespace cvl::imaging
