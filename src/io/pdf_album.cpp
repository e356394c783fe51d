#include "io/pdf_album.h"

#include <cstdio>
#include <cstring>

#include "codecs/codec.h"

#ifdef CORVEL_HAVE_HPDF
#include <hpdf.h>
#endif

namespace cvl {
namespace {

PdfAlbum g_album;

void say(char* message, size_t size, const char* text) {
  if (message && size) std::snprintf(message, size, "%s", text);
}

#ifdef CORVEL_HAVE_HPDF

struct PdfErrors {
  HPDF_STATUS first = HPDF_OK;
};

void on_pdf_error(HPDF_STATUS error, HPDF_STATUS, void* user) {
  auto* e = static_cast<PdfErrors*>(user);
  if (e->first == HPDF_OK) e->first = error;
}

// The picture's colours over white where it is transparent.
std::vector<uint8_t> rgb_over_white(const imaging::Image& im) {
  std::vector<uint8_t> rgb(size_t(im.width) * im.height * 3);
  const uint8_t* s = im.pixels.data();
  for (size_t i = 0, n = size_t(im.width) * im.height; i < n; ++i, s += 4)
    for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = uint8_t((s[c] * s[3] + 255 * (255 - s[3])) / 255);
  return rgb;
}

bool add_page(HPDF_Doc pdf, const PdfAlbum& a, const imaging::Image& im) {
  HPDF_Image image =
      HPDF_LoadRawImageFromMem(pdf, rgb_over_white(im).data(), HPDF_UINT(im.width), HPDF_UINT(im.height), HPDF_CS_DEVICE_RGB, 8);
  HPDF_Page page = HPDF_AddPage(pdf);
  if (!image || !page) return false;
  const HPDF_REAL w = HPDF_REAL(im.width) * 72 / HPDF_REAL(a.dpi);
  const HPDF_REAL h = HPDF_REAL(im.height) * 72 / HPDF_REAL(a.dpi);
  const HPDF_REAL page_w = w + HPDF_REAL(a.border_left + a.border_right);
  const HPDF_REAL page_h = h + HPDF_REAL(a.border_top + a.border_bottom);
  HPDF_Page_SetWidth(page, page_w);
  HPDF_Page_SetHeight(page, page_h);
  HPDF_Page_SetRGBFill(page, a.border_rgb[0] / 255.0f, a.border_rgb[1] / 255.0f, a.border_rgb[2] / 255.0f);
  HPDF_Page_Rectangle(page, 0, 0, page_w, page_h);
  HPDF_Page_Fill(page);
  HPDF_Page_DrawImage(page, image, HPDF_REAL(a.border_left), HPDF_REAL(a.border_bottom), w, h);
  if (a.slide_show)
    HPDF_Page_SetSlideShow(page, HPDF_TransitionStyle(a.transition), HPDF_REAL(a.display_seconds),
                           HPDF_REAL(a.transition_seconds));
  return true;
}

bool write_pdf(const PdfAlbum& a, const char* path, char* message, size_t message_size) {
  PdfErrors errors;
  HPDF_Doc pdf = HPDF_New(on_pdf_error, &errors);
  if (!pdf) return say(message, message_size, "out of memory"), false;
  HPDF_SetCompressionMode(pdf, HPDF_COMP_ALL);
  if (a.slide_show) HPDF_SetPageMode(pdf, HPDF_PAGE_MODE_FULL_SCREEN);
  bool ok = true;
  for (const std::string& file : a.images) {
    imaging::Image im;
    if (!imaging::decode_file(file.c_str(), im) || !add_page(pdf, a, im)) {
      say(message, message_size, ("cannot place " + file).c_str());
      ok = false;
      break;
    }
  }
  if (ok && HPDF_SaveToFile(pdf, path) != HPDF_OK) {
    say(message, message_size, "cannot write the PDF file");
    ok = false;
  }
  ok = ok && errors.first == HPDF_OK;
  HPDF_Free(pdf);
  return ok;
}

#else

bool write_pdf(const PdfAlbum&, const char*, char* message, size_t message_size) {
  say(message, message_size, "PDF output is not built in");
  return false;
}

#endif

}  // namespace

PdfAlbum& pdf_album() { return g_album; }

int32_t album_reset() {
  g_album = PdfAlbum{};
  return 1;
}

int32_t album_add_image(const char* path) {
  if (!path) return 0;
  const imaging::FileType type = imaging::guess_file_type(path);
  if (type == imaging::FileType::Unknown || type == imaging::FileType::Emf || type == imaging::FileType::Wmf) return 0;
  g_album.images.emplace_back(path);
  return 1;
}

int32_t album_silent_running() {
  g_album.silent = true;
  return 1;
}

int32_t album_set_dpi(int32_t dpi) {
  if (dpi <= 0) return 0;
  g_album.dpi = dpi;
  return 1;
}

int32_t album_delete_images_on_convert() {
  g_album.delete_images = true;
  return 1;
}

int32_t album_set_border(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (left < 0 || top < 0 || right < 0 || bottom < 0) return 0;
  g_album.border_left = left, g_album.border_top = top, g_album.border_right = right, g_album.border_bottom = bottom;
  return 1;
}

int32_t album_set_border_colour(int32_t r, int32_t g, int32_t b) {
  g_album.border_rgb[0] = uint8_t(r), g_album.border_rgb[1] = uint8_t(g), g_album.border_rgb[2] = uint8_t(b);
  return 1;
}

int32_t album_slide_show(int32_t transition, int32_t transition_seconds, int32_t display_seconds) {
  if (transition < 0 || transition > 16 || transition_seconds < 0 || display_seconds < 0) return 0;
  g_album.slide_show = true;
  g_album.transition = transition;
  g_album.transition_seconds = transition_seconds;
  g_album.display_seconds = display_seconds;
  return 1;
}

int32_t album_make_pdf(const char* path, int32_t, char* message, size_t message_size) {
  say(message, message_size, "");
  if (!path || g_album.images.empty()) {
    say(message, message_size, path ? "no images" : "no file name");
    return 0;
  }
  if (!write_pdf(g_album, path, message, message_size)) return 0;
  // Only a written PDF replaces its images.
  if (g_album.delete_images)
    for (const std::string& file : g_album.images) std::remove(file.c_str());
  return 1;
}

int32_t make_album_pdf(const char* path, bool slide_show) {
  if (slide_show) album_slide_show(9, 1, 4);
  album_silent_running();
  album_set_dpi(96);
  album_delete_images_on_convert();
  album_set_border(20, 20, 20, 20);
  album_set_border_colour(196, 196, 196);
  char message[1024];
  const int32_t made = album_make_pdf(path, 0, message, sizeof message);
  const int32_t reset = album_reset();
  // The reset's result says nothing about the file; a PDF that was not written
  // must not be reported as made.
  return made ? reset : 0;
}

}  // namespace cvl
