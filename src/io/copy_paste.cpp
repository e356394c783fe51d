#include "io/copy_paste.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/engine.h"
#include "layers/rgba32_loader.h"
#include "codecs/decoders.h"
#include "codecs/dib.h"
#include "imaging/overlay.h"
#include "imaging/geometry/resample_separable.h"
#include "imaging/geometry/rotate.h"
#include "io/new_rgba.h"
#include "layers/ipl_images.h"
#include "layers/composite.h"
#include "layers/filter_prep.h"
#include "layers/merge.h"
#include "mask/mask_alpha.h"
#include "platform/clipboard.h"
#include "platform/screen_capture.h"

namespace cvl {
namespace {

using imaging::ImageView;

ImageView rgba_view(uint8_t* data, int32_t w, int32_t h) { return {data, w, h, 4, w * 4}; }

ImageView picture_view(const NewRgba& n) { return rgba_view(n.pixels.get(), n.width, n.height); }

FailureCause put_on_clipboard(const ImageView& image) {
  if (platform::clipboard_put_dib(imaging::make_dib32(image))) return {};
  return "the clipboard did not take the " + std::to_string(image.width) + " x " + std::to_string(image.height) +
         " picture";
}

constexpr const char* kNoCanvas = "there is no canvas";

// Replaces the new-RGBA picture with a decoded DIB block. The block is decoded
// first, so a damaged one leaves the earlier picture in place. Empty when replaced,
// else why not, `source` naming the block ("the clipboard's picture").
FailureCause dib_into_new_rgba(const std::vector<uint8_t>& dib, const char* source) {
  imaging::Image image;
  if (!imaging::decode_packed_dib(dib.data(), dib.size(), image)) return std::string(source) + " is damaged";
  uint8_t* pixels = create_new_rgba(image.width, image.height);
  if (!pixels)
    return "not enough memory for " + std::string(source) + " (" + std::to_string(image.width) + " x " +
           std::to_string(image.height) + ")";
  std::memcpy(pixels, image.pixels.data(), image.pixels.size());
  return {};
}

FailureCause read_clipboard() {
  std::vector<uint8_t> dib;
  if (!platform::clipboard_get_dib(dib)) return "the clipboard holds no picture";
  return dib_into_new_rgba(dib, "the clipboard's picture");
}

// The picture the placed pastes use: the clipboard's, or when it cannot be read an
// earlier picture still in the new-RGBA buffer. Empty when there is one.
FailureCause picture_to_paste() {
  const FailureCause unread = read_clipboard();
  return new_rgba().pixels ? FailureCause{} : unread;
}

constexpr const char* kNoLayerPixels = "the current layer has no pixels";

// Makes `image` (w x h RGBA32) the new-RGBA picture.
void adopt_as_new_rgba(const std::vector<uint8_t>& image, int32_t w, int32_t h) {
  uint8_t* pixels = create_new_rgba(w, h);
  if (pixels) std::memcpy(pixels, image.data(), image.size());
}

// Our resampler and rotation weight their taps by alpha themselves (the same as
// filtering premultiplied pixels), so the smooth EX2 forms need no separate
// premultiply around them: wrapping them would weight by alpha twice.
void resample_new_rgba(int32_t nw, int32_t nh, bool smooth) {
  const ImageView src = picture_view(new_rgba());
  if (!src.data || (nw == src.width && nh == src.height)) return;
  std::vector<uint8_t> out(size_t(nw) * size_t(nh) * 4, 0);
  const ImageView dst = rgba_view(out.data(), nw, nh);
  imaging::resample(src, dst, smooth ? imaging::ResampleMethod::Bicubic : imaging::ResampleMethod::Nearest);
  adopt_as_new_rgba(out, nw, nh);
}

void rotate_new_rgba(int32_t degrees, bool smooth) {
  const float radians = static_cast<float>(degrees * 0.0174532925);
  const ImageView src = picture_view(new_rgba());
  int32_t rw = 0, rh = 0;
  imaging::rotated_pixel_size(radians, src.width, src.height, rw, rh);
  if (!src.data || rw == 0 || rh == 0) return;
  std::vector<uint8_t> out(size_t(rw) * size_t(rh) * 4, 0);
  imaging::rotate_image(src, rgba_view(out.data(), rw, rh), radians,
                        smooth ? imaging::RotateFilter::Bilinear : imaging::RotateFilter::Nearest);
  adopt_as_new_rgba(out, rw, rh);
}

void apply_centre(const PastePlacement& p, const NewRgba& picture, int32_t& x, int32_t& y) {
  x = p.x, y = p.y;
  if (!p.centre) return;
  x -= picture.width / 2;
  y -= picture.height / 2;
}

// Lays the new-RGBA picture over `src` (the IPL source, a fresh copy of the
// current layer) at (x, y) and loads the result back through the selection.
int32_t paste_over_layer_copy(Engine& e, uint8_t* src, const NewRgba& picture, int32_t x, int32_t y) {
  Layer* layer = e.current_layer;
  if (!src || !layer || !picture.pixels) return 0;
  imaging::overlay_image_over(rgba_view(src, e.canvas_width, e.canvas_height), picture_view(picture), x, y);
  load_rgba32_layer(e, src, e.canvas_width * 4, e.current_layer_num, 0, 0, layer->width, layer->height, true);
  return 1;
}

// Composites the visible part of the new-RGBA picture onto `layer` at (x, y),
// its alpha weighted by the mask and texture there.
void composite_visible_part(const Engine& e, Layer& layer, NewRgba& picture, int32_t x, int32_t y) {
  const int32_t w = picture.width, h = picture.height;
  int32_t ox = 0, oy = 0, pw = w, ph = h;
  if (x < 0) ox = -x, pw = w + x, x = 0;
  if (y < 0) oy = -y, ph = h + y, y = 0;
  // Clipped to the layer as well as the canvas: a layer left smaller than the
  // canvas is never written past its own pixels.
  const int32_t right = std::min(e.canvas_width, layer.width), bottom = std::min(e.canvas_height, layer.height);
  if (x + pw > right) pw = right - x;
  if (y + ph > bottom) ph = bottom - y;
  if (pw <= 0 || ph <= 0) return;
  if (ox || oy || pw != w || ph != h) {
    std::vector<uint8_t> part(size_t(pw) * size_t(ph) * 4, 0);
    imaging::overlay_image(part.data(), pw, ph, pw * 4, picture.pixels.get(), w, h, w * 4, -ox, -oy, 4);
    adopt_as_new_rgba(part, pw, ph);
  }
  uint8_t* image = picture.pixels.get();
  adjust_rgba32_rect_by_mask_and_texture(e, image, x, y, pw, ph);
  std::vector<uint16_t> wide(size_t(pw) * size_t(ph) * 4);
  for (size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<uint16_t>(image[i] << 8);
  CompositeArgs args;
  args.src = wide.data();
  args.width = pw, args.height = ph;
  args.src_stride = pw * 4;
  args.dst = layer.data();
  args.dst_x = x, args.dst_y = y;
  args.dst_stride = layer.row_stride;
  args.mode = 0;
  args.opacity = 255;
  args.keep_dst_alpha = layer.lockAlpha != 0;
  composite(args);
}

// The whole canvas image `src` (the IPL source) goes out, masked while the
// mask is enabled.
FailureCause copy_canvas_image(const Engine& e, uint8_t* src) {
  if (!src) return kNoCanvas;
  if (e.mask_enabled) apply_mask_to_alpha(e, src);
  return put_on_clipboard(rgba_view(src, e.canvas_width, e.canvas_height));
}

// A w x h cut of the canvas image `src` (the IPL source), masked while the mask
// is enabled. Corners in either order give the same rectangle; the part off the
// canvas is transparent. Empty when there is nothing to cut.
std::vector<uint8_t> cut_canvas_rect(const Engine& e, uint8_t* src, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                     int32_t& w, int32_t& h) {
  if (!src) return {};
  if (e.mask_enabled) apply_mask_to_alpha(e, src);
  const int64_t w64 = std::llabs(int64_t(x1) - x2), h64 = std::llabs(int64_t(y1) - y2);
  if (w64 == 0 || h64 == 0 || w64 > 32768 || h64 > 32768) return {};
  w = int32_t(w64), h = int32_t(h64);
  std::vector<uint8_t> cut(size_t(w) * size_t(h) * 4, 0);
  imaging::overlay_image(cut.data(), w, h, w * 4, src, e.canvas_width, e.canvas_height, e.canvas_width * 4,
                         -std::min(x1, x2), -std::min(y1, y2), 4);
  return cut;
}

// Lays the placed picture into `dst` (the IPL destination, cleared here) and
// merges it into the current layer through the selection.
FailureCause merge_placed_picture(const Engine& e, uint8_t* dst, const NewRgba& picture, const PastePlacement& p) {
  Layer* layer = e.current_layer;
  if (!layer || !layer->has_pixels()) return kNoLayerPixels;
  if (!dst) return "not enough memory for the image-processing destination";
  std::memset(dst, 0, e.canvas_pixels() * 4);
  int32_t x = 0, y = 0;
  apply_centre(p, picture, x, y);
  imaging::overlay_image_over(rgba_view(dst, e.canvas_width, e.canvas_height), picture_view(picture), x, y);
  adjust_rgba32_by_mask_and_texture(e, dst, e.canvas_width, e.canvas_height);
  merge_rgba32_into_layer(e, dst, *layer, 0, 0, 255, layer->lockAlpha != 0);
  return {};
}

}  // namespace

FailureCause to_clipboard(Engine& e) {
  FailureCause cause = copy_canvas_image(e, ipl_alloc(e, IplBuffer::Src32));
  ipl_free(e, IplBuffer::Src32);
  return cause;
}

FailureCause to_clipboard_rect(Engine& e, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  uint8_t* src = ipl_alloc(e, IplBuffer::Src32);
  int32_t w = 0, h = 0;
  std::vector<uint8_t> cut = cut_canvas_rect(e, src, x1, y1, x2, y2, w, h);
  ipl_free(e, IplBuffer::Src32);
  if (!src) return kNoCanvas;
  if (cut.empty())
    return "the rectangle (" + std::to_string(x1) + ", " + std::to_string(y1) + ") - (" + std::to_string(x2) + ", " +
           std::to_string(y2) + ") is empty or over 32768 pixels a side";
  return put_on_clipboard(rgba_view(cut.data(), w, h));
}

FailureCause rgba32_to_clipboard_rect(const Engine& e, uint8_t* image, int32_t x, int32_t y, int32_t width,
                                      int32_t height) {
  if (!image) return "no image given";
  if (width <= 0 || height <= 0)
    return "the image size " + std::to_string(width) + " x " + std::to_string(height) + " is empty";
  if (e.mask_enabled) apply_mask_to_alpha_rect(e, image, width * 4, x, y, x + width - 1, y + height - 1);
  return put_on_clipboard(rgba_view(image, width, height));
}

int32_t from_clipboard() { return read_clipboard().empty() ? 1 : 0; }

int32_t from_clipboard_into(Engine& e, int32_t x, int32_t y, int32_t centre) {
  read_clipboard();  // an earlier picture in the buffer is pasted when this fails
  if (centre == 1) {
    x -= new_rgba().width / 2;
    y -= new_rgba().height / 2;
  }
  const int32_t result = paste_over_layer_copy(e, ipl_alloc(e, IplBuffer::Src32), new_rgba(), x, y);
  ipl_free(e, IplBuffer::Src32);
  delete_new_rgba();
  return result;
}

FailureCause from_clipboard_into_ex(Engine& e, const PastePlacement& p) {
  if (!std::isfinite(p.scale)) return "the scale " + std::to_string(p.scale) + " is not a number";
  if (FailureCause none = picture_to_paste(); !none.empty()) return none;
  if (p.scale != 1) {
    // A side past 2^31 pixels could never be allocated, and would not fit the size.
    const double w = double(p.scale) * new_rgba().width, h = double(p.scale) * new_rgba().height;
    if (w >= 2147483648.0 || h >= 2147483648.0) {
      delete_new_rgba();
      return "the scale " + std::to_string(p.scale) + " makes the picture too large";
    }
    resample_new_rgba(std::max(1, static_cast<int32_t>(w)), std::max(1, static_cast<int32_t>(h)), p.smooth);
  }
  if (p.angle != 0) rotate_new_rgba(p.angle, p.smooth);
  FailureCause cause = merge_placed_picture(e, ipl_alloc(e, IplBuffer::Dst32), new_rgba(), p);
  ipl_free(e, IplBuffer::Dst32);
  delete_new_rgba();
  return cause;
}

FailureCause from_clipboard_into_ex2(const Engine& e, const PastePlacement& p) {
  if (FailureCause none = picture_to_paste(); !none.empty()) return none;
  NewRgba& picture = new_rgba();
  const int32_t w = picture.width, h = picture.height;
  const double f = double(p.size) / (w > h ? w : h);
  if (f != 1) {
    const int32_t nw = std::max(1, static_cast<int32_t>(f * w));
    const int32_t nh = std::max(1, static_cast<int32_t>(f * h));
    resample_new_rgba(nw, nh, p.smooth);
  }
  if (p.angle != 0 && p.angle != 360) rotate_new_rgba(p.angle, p.smooth);
  int32_t x = 0, y = 0;
  apply_centre(p, picture, x, y);
  Layer* layer = e.current_layer;
  const bool painted = layer && layer->has_pixels();
  if (painted) composite_visible_part(e, *layer, picture, x, y);
  delete_new_rgba();
  return painted ? FailureCause{} : kNoLayerPixels;
}

int32_t screen_capture() {
  std::vector<uint8_t> dib;
  return platform::capture_screen_dib(dib) && dib_into_new_rgba(dib, "the screen's picture").empty() ? 1 : 0;
}

int32_t screen_capture_into(Engine& e) {
  std::vector<uint8_t> dib;
  if (!platform::capture_screen_dib(dib) || !dib_into_new_rgba(dib, "the screen's picture").empty()) return 0;
  const int32_t result = paste_over_layer_copy(e, ipl_alloc(e, IplBuffer::Src32), new_rgba(), 0, 0);
  ipl_free(e, IplBuffer::Src32);
  delete_new_rgba();
  return result;
}

}  // namespace cvl
