// The screen of an X11 display: the root window read with XGetImage.
#include "platform/screen_capture.h"

#ifdef CORVEL_HAVE_X11
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace cvl::platform {

#ifdef CORVEL_HAVE_X11
namespace {

void put32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16), p[3] = uint8_t(v >> 24);
}

int shift_of(unsigned long mask) {
  int s = 0;
  while (mask && !(mask & 1)) mask >>= 1, ++s;
  return s;
}

uint8_t channel(unsigned long pixel, unsigned long mask, int shift) {
  const unsigned long max = mask >> shift;
  return max ? static_cast<uint8_t>(((pixel & mask) >> shift) * 255 / max) : 0;
}

}  // namespace

bool capture_screen_dib(std::vector<uint8_t>& block) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  const Window root = DefaultRootWindow(display);
  XWindowAttributes attrs{};
  XGetWindowAttributes(display, root, &attrs);
  XImage* image = attrs.width > 0 && attrs.height > 0
                      ? XGetImage(display, root, 0, 0, static_cast<unsigned>(attrs.width),
                                  static_cast<unsigned>(attrs.height), AllPlanes, ZPixmap)
                      : nullptr;
  if (!image) {
    XCloseDisplay(display);
    return false;
  }
  const int32_t w = image->width, h = image->height;
  const size_t row = size_t(w) * 4;
  block.assign(40 + row * size_t(h), 0);
  put32(block.data(), 40);
  put32(block.data() + 4, uint32_t(w));
  put32(block.data() + 8, uint32_t(-h));  // top-down rows, as the screen is read
  block[12] = 1;
  block[14] = 32;
  const int rs = shift_of(image->red_mask), gs = shift_of(image->green_mask), bs = shift_of(image->blue_mask);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* d = block.data() + 40 + row * size_t(y);
    for (int32_t x = 0; x < w; ++x, d += 4) {
      const unsigned long p = XGetPixel(image, x, y);
      d[0] = channel(p, image->blue_mask, bs);
      d[1] = channel(p, image->green_mask, gs);
      d[2] = channel(p, image->red_mask, rs);
      d[3] = 255;
    }
  }
  XDestroyImage(image);
  XCloseDisplay(display);
  return true;
}

#else

bool capture_screen_dib(std::vector<uint8_t>&) { return false; }

#endif

}  // namespace cvl::platform
