// PDF albums: image files collected one by one and written as a PDF with one
// page per image, optionally as a slide show with page transitions.
//
// The calls keep the shape of the album library hosts know: settings first, then
// one make call, then a reset that empties the album. Results are 1 for success
// and 0 for failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cvl {

struct PdfAlbum {
  std::vector<std::string> images;  // added since the last reset, in page order
  bool silent = false;              // no progress or error dialogs (this library never shows any)
  int32_t dpi = 72;                 // image pixels per inch on the page
  bool delete_images = false;       // remove the image files once the PDF is written
  int32_t border_left = 0, border_top = 0, border_right = 0, border_bottom = 0;  // points
  uint8_t border_rgb[3] = {255, 255, 255};
  bool slide_show = false;
  int32_t transition = 0;          // transition style, 0 .. 16
  int32_t transition_seconds = 0;  // length of each page's transition
  int32_t display_seconds = 0;     // time each page stays up
};

PdfAlbum& pdf_album();

int32_t album_reset();
// 1 when the file holds an image the album can place.
int32_t album_add_image(const char* path);
int32_t album_silent_running();
int32_t album_set_dpi(int32_t dpi);
int32_t album_delete_images_on_convert();
int32_t album_set_border(int32_t left, int32_t top, int32_t right, int32_t bottom);
int32_t album_set_border_colour(int32_t r, int32_t g, int32_t b);
int32_t album_slide_show(int32_t transition, int32_t transition_seconds, int32_t display_seconds);
// Writes the PDF; on failure `message` (of `message_size` bytes) says why. The
// album is kept until the reset.
int32_t album_make_pdf(const char* path, int32_t options, char* message, size_t message_size);

// The engine's recipe: 96 dpi, 20-point grey 196 borders, the image files removed
// once converted, then a reset. The reset's result, or 0 when no PDF was written.
int32_t make_album_pdf(const char* path, bool slide_show);

}  // namespace cvl
