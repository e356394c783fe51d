// The window and its events: pointer input becomes strokes, keys pick brushes, colours
// and layers, and every batch of events ends with the changed area rendered and shown.
#pragma once

#include <string>
#include <vector>

#include "layers.h"
#include "stroke.h"
#include "view.h"

struct SDL_Window;
struct SDL_Surface;
union SDL_Event;

namespace corvel_paint {

struct Options {
  std::string open_path;      // picture to start from, or empty for a blank canvas
  std::string save_path;      // where Ctrl+S and the exit save write
  bool save_on_exit = false;
  int canvas_width = 1600, canvas_height = 1200;
  int layers = 3;             // paper included
  int window_width = 1024, window_height = 720;
  int brush_size = 24;
  bool timing = false;        // print each batch's latency and a summary at exit
};

// Latency of one batch: from the first pointer event taken from the queue to the
// changed area shown, with the time spent in each stage.
struct BatchTiming {
  double total_ms = 0, dabs_ms = 0, render_ms = 0, show_ms = 0;
  unsigned queued_ms = 0;  // from the event's own timestamp (whole milliseconds)
  int dabs = 0;
};

class PaintWindow {
 public:
  explicit PaintWindow(const Options& options) : opt_(options) {}
  ~PaintWindow();
  // Makes the canvas, its layers and the window; false with a message on stderr.
  bool open();
  int run();  // until the window closes or Escape; the exit status

 private:
  void handle(const SDL_Event& e);
  void key(const SDL_Event& e);
  void pointer_down(double wx, double wy, double pressure);
  void pointer_move(double wx, double wy, double pressure);
  void pointer_up();
  double tablet_pressure(double fallback);
  void flush();            // renders and shows what the batch changed
  void layout();
  void draw_chrome();      // palette strip and layer panel
  void show(const Rect& view_rect);
  void update_title();
  void select_brush(int index);
  bool save();
  void undo_step(bool redo);
  void run_effect();
  void report_timing() const;
  bool in_view(double wx, double wy) const;

  Options opt_;
  SDL_Window* window_ = nullptr;
  SDL_Surface* surface_ = nullptr;
  View view_;
  LayerPanel layers_;
  Stroke stroke_;
  std::string bristle_tip_, scratch_dir_;
  int brush_ = 0, size_ = 24, opacity_ = 100, colour_ = 0;
  int effect_ = 0;  // which of effect_presets() the effect key applies
  bool tablet_ = false;
  bool panning_ = false;
  int pan_x_ = 0, pan_y_ = 0;
  bool quit_ = false;
  int strokes_ = 0;
  int canvas_w_ = 0, canvas_h_ = 0;

  // What the current batch of events changed.
  Rect dirty_;
  bool redraw_all_ = false, chrome_ = false;
  bool timing_batch_ = false;
  double batch_start_ = 0, batch_dabs_ms_ = 0;
  unsigned batch_event_ms_ = 0;
  int batch_dabs_ = 0;
  std::vector<BatchTiming> timings_;
};

}  // namespace corvel_paint
