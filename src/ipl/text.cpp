#include "ipl/text.h"

#include <cstring>

#include "core/engine.h"
#include "layers/rgba32_loader.h"
#include "draw/text_render.h"
#include "layers/ipl_images.h"
#include "ipl/text_font.h"
#include "layers/filter_prep.h"

namespace cvl {
namespace {

imaging::FontRequest font_request(const LogFontA& font) {
  imaging::FontRequest request;
  request.face.assign(font.lfFaceName, strnlen(font.lfFaceName, sizeof font.lfFaceName));
  request.height = font.lfHeight;
  request.width = font.lfWidth;
  request.weight = font.lfWeight;
  request.italic = font.lfItalic != 0;
  request.underline = font.lfUnderline != 0;
  request.strike_out = font.lfStrikeOut != 0;
  return request;
}

}  // namespace

imaging::Rect ipl_text(Engine& canvas, uint8_t r, uint8_t g, uint8_t b, int32_t x, int32_t y, const char* text,
                       int32_t smooth) {
  imaging::Rect box{1, 1, 0, 0};
  if (!ipl_buffer(canvas, IplBuffer::Src32)) return box;
  uint8_t* source = ipl_update_src32(canvas);
  const Engine& e = canvas;
  const int32_t w = e.canvas_width, h = e.canvas_height;
  const imaging::ImageView view{source, w, h, 4, w * 4};
  const imaging::Colour colour{r, g, b, 255};
  const imaging::FontRequest font = font_request(text_font());
  if (smooth & 0xFF) {
    // Edges are laid over premultiplied pixels; transparent ones are made
    // black first so that they do not lend the edges their colour.
    set_colour_alpha_rgba_buf(source, w, h, 0, 0, 0);
    adjust_rgba32_pre_filter(source, w, h);
    imaging::draw_text(view, text, font, x, y, colour, imaging::TextMode::Smooth, &box);
    adjust_rgba32_post_filter(source, w, h);
  } else {
    imaging::draw_text(view, text, font, x, y, colour, imaging::TextMode::Plain, &box);
  }
  if (box.right < box.left) return box;
  // Writing the whole source back would narrow every pixel of the layer to
  // 8 bits (and, smooth, pass it through the premultiply round trip): only
  // the text's own box goes back.
  const uint8_t* first = source + (static_cast<size_t>(box.top) * w + box.left) * 4;
  load_rgba32_layer(canvas, first, w * 4, e.current_layer_num, box.left, box.top, box.right - box.left + 1,
                    box.bottom - box.top + 1, true);
  return box;
}

}  // namespace cvl
