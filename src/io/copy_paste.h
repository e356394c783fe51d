// Copy and paste of layer pixels through the clipboard's CF_DIB block, and
// screen capture. Pasted and captured pictures pass through the new-RGBA buffer.
#pragma once

#include <cstdint>

#include "core/last_error.h"

namespace cvl {

struct Engine;

// Copies: the current layer, a rectangle of it (corners in any order), or a
// caller's RGBA32 image of the canvas rectangle at (x, y). While the mask is
// enabled unselected pixels go out transparent. Each is empty when the picture
// went onto the clipboard, else why not.
FailureCause to_clipboard(Engine& e);
FailureCause to_clipboard_rect(Engine& e, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
FailureCause rgba32_to_clipboard_rect(const Engine& e, uint8_t* image, int32_t x, int32_t y, int32_t width,
                                      int32_t height);

// 1 when the new-RGBA buffer now holds the clipboard's picture.
int32_t from_clipboard();

// Placement of a paste: the point, the size (a factor for the EX form, the
// longer side in pixels for EX2), the angle in degrees, and the centre and
// smooth switches.
struct PastePlacement {
  int32_t x = 0, y = 0;
  float scale = 1;
  int32_t size = 0;
  int32_t angle = 0;
  bool centre = false;
  bool smooth = false;
};

// Pastes at (x, y) over a copy of the current layer and loads it back through
// the selection; 1 when pasted.
int32_t from_clipboard_into(Engine& e, int32_t x, int32_t y, int32_t centre);
// Scaled by a factor and turned; merged into the current layer. Empty when pasted,
// else why not (no picture, a scale that is no number or too large, no layer pixels).
FailureCause from_clipboard_into_ex(Engine& e, const PastePlacement& p);
// Longer side to size pixels and turned (360 counts as no turn), premultiplied
// when smooth; only the part on the canvas is composited. Empty when pasted.
FailureCause from_clipboard_into_ex2(const Engine& e, const PastePlacement& p);

// 1 when the new-RGBA buffer holds the screen / when the screen went into the
// current layer.
int32_t screen_capture();
int32_t screen_capture_into(Engine& e);

}  // namespace cvl
