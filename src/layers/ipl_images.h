// The four 8-bit working images of the image-processing functions: RGBA32 and
// RGB24 sources and destinations, each canvas-sized when allocated.
//
// Effects, Lua filters, drawing and clipboard paste read and write these. A
// buffer is only handed out while it still matches the canvas (a canvas resized
// since its allocation would otherwise be read past its end).
//
// Every function takes the canvas whose images it works on: its size, its
// current layer (the sources are read from it) and the images themselves.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;
struct Layer;

enum class IplBuffer { Src32, Dst32, Src24, Dst24 };

// (Re)allocates a buffer at the canvas size; the sources are filled from the
// current layer (narrowed to 8 bits), the destinations are left uninitialised.
// Returns the buffer, or null without a canvas.
uint8_t* ipl_alloc(Engine& canvas, IplBuffer which);
void ipl_free(Engine& canvas, IplBuffer which);

// Refills the 32-bit source from the current layer; null when it does not exist.
uint8_t* ipl_update_src32(Engine& canvas);

// Copies canvas-sized caller pixels into an existing buffer.
void ipl_set(Engine& canvas, IplBuffer which, const uint8_t* src);

// The buffer while it exists and matches the canvas, else null.
uint8_t* ipl_buffer(const Engine& canvas, IplBuffer which);

// The layer the sources are read from: the current layer while it holds pixels,
// else null.
Layer* ipl_source_layer(const Engine& canvas);

// Bytes per pixel of a buffer: 4 or 3.
int32_t ipl_channels(IplBuffer which);

// Frees one image when the scope that allocated it ends, however it ends.
class IplFreeOnExit {
 public:
  IplFreeOnExit(Engine& canvas, IplBuffer which) : canvas_(canvas), which_(which) {}
  ~IplFreeOnExit() { ipl_free(canvas_, which_); }
  IplFreeOnExit(const IplFreeOnExit&) = delete;
  IplFreeOnExit& operator=(const IplFreeOnExit&) = delete;

 private:
  Engine& canvas_;
  IplBuffer which_;
};

}  // namespace cvl
