#include "window.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "corvel/corvel.h"
#include "effects.h"
#include "files.h"

namespace corvel_paint {

namespace {

constexpr int kPanelWidth = 120;  // layer panel on the right
constexpr int kPaletteHeight = 32;
constexpr int kSwatch = 32;
constexpr int kLayerRow = 26;
constexpr int kMaxBrush = 250;  // below the brush capacity the canvas is made with
constexpr int kBrushCapacity = 256;

const Colour kPalette[] = {{20, 20, 24},   {250, 250, 246}, {200, 40, 40},  {236, 120, 30}, {246, 206, 60},
                           {70, 160, 60},  {30, 110, 90},   {40, 90, 200},  {110, 60, 170}, {220, 110, 160},
                           {120, 80, 50},  {128, 128, 128}};
constexpr int kPaletteSize = static_cast<int>(sizeof kPalette / sizeof kPalette[0]);

double now_ms() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void fill(SDL_Surface* s, int x, int y, int w, int h, Colour c) {
  SDL_Rect r{x, y, w, h};
  SDL_FillRect(s, &r, SDL_MapRGB(s->format, static_cast<Uint8>(c.r), static_cast<Uint8>(c.g), static_cast<Uint8>(c.b)));
}

void frame(SDL_Surface* s, int x, int y, int w, int h, Colour c) {
  fill(s, x, y, w, 2, c);
  fill(s, x, y + h - 2, w, 2, c);
  fill(s, x, y, 2, h, c);
  fill(s, x + w - 2, y, 2, h, c);
}

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

}  // namespace

PaintWindow::~PaintWindow() {
  if (tablet_) CVL_CloseTablet();
  if (window_) SDL_DestroyWindow(window_);
  SDL_Quit();
  CVL_IPLExit();
  CVL_DeleteImage();
  std::error_code ec;
  if (!scratch_dir_.empty()) std::filesystem::remove_all(scratch_dir_, ec);
}

bool PaintWindow::open() {
  int w = opt_.canvas_width, h = opt_.canvas_height;
  bool picture = false;
  if (!opt_.open_path.empty()) {
    if (read_picture(opt_.open_path, w, h)) {
      picture = true;
    } else if (std::filesystem::exists(opt_.open_path)) {
      std::fprintf(stderr, "corvel-paint: cannot read %s\n", opt_.open_path.c_str());
      return false;
    }  // a name that does not exist yet is where a new painting will be saved
  }
  canvas_w_ = w;
  canvas_h_ = h;
  CVL_SetRandomSeed(2026);
  CVL_CreateImage(nullptr, w, h, kBrushCapacity, 0);
  CVL_SetUndoLevels(64);
  CVL_SetUndoMB(512);
  CVL_IPLInit(0);
  if (!layers_.create(w, h, std::max(2, opt_.layers))) {
    std::fprintf(stderr, "corvel-paint: cannot make the layers: %s\n", CVL_GetLastError());
    return false;
  }
  // The paint layer is canvas-sized; making it now keeps that cost out of the first stroke.
  CVL_CreatePaintLayer(100, "Normal");
  if (picture) {
    place_picture();
    CVL_SetLayer(layers_.current_slot());  // undo starts from the picture, not from empty
  }

  std::string templ = (std::filesystem::temp_directory_path() / "corvel-paint-XXXXXX").string();
  if (mkdtemp(templ.data())) {
    scratch_dir_ = templ;
    bristle_tip_ = write_bristle_tip(scratch_dir_);
  }

  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "corvel-paint: no display: %s\n", SDL_GetError());
    return false;
  }
  window_ = SDL_CreateWindow("corvel-paint", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, opt_.window_width,
                             opt_.window_height, SDL_WINDOW_RESIZABLE);
  if (!window_) {
    std::fprintf(stderr, "corvel-paint: cannot open a window: %s\n", SDL_GetError());
    return false;
  }

  // A pen tablet, when its library is there, gives pressure for every pointer event.
  SDL_SysWMinfo wm;
  SDL_VERSION(&wm.version);
  void* native = window_;
#if defined(SDL_VIDEO_DRIVER_X11)
  if (SDL_GetWindowWMInfo(window_, &wm) && wm.subsystem == SDL_SYSWM_X11)
    native = reinterpret_cast<void*>(static_cast<uintptr_t>(wm.info.x11.window));
#endif
  tablet_ = CVL_InitTablet(native) != 0;
  if (tablet_) {
    int x, y;
    SDL_GetWindowPosition(window_, &x, &y);
    SDL_Rect screen{};
    SDL_GetDisplayBounds(0, &screen);
    CVL_SetTabletWindowPlace(x, y, screen.w, screen.h);
    CVL_SetTabletOrigin();
  }

  size_ = std::clamp(opt_.brush_size, 1, kMaxBrush);
  select_brush(0);
  layout();
  return true;
}

void PaintWindow::layout() {
  surface_ = SDL_GetWindowSurface(window_);
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  view_.resize(std::max(1, w - kPanelWidth), std::max(1, h - kPaletteHeight), canvas_w_, canvas_h_);
  redraw_all_ = true;
}

bool PaintWindow::in_view(double wx, double wy) const { return wx < view_.width() && wy < view_.height(); }

void PaintWindow::select_brush(int index) {
  brush_ = index;
  const BrushPreset& p = brush_presets()[brush_];
  // Painting brushes lay full-strength dabs into the paint layer and take their opacity
  // from it; the others act on the layer directly, so their dabs carry the opacity.
  apply_brush(p, size_, p.uses_paint_layer() ? 100 : opacity_, bristle_tip_);
  update_title();
}

void PaintWindow::update_title() {
  char title[256];
  int count = 0;
  const char* effect = effect_presets(count)[effect_].name;
  std::snprintf(title, sizeof title, "corvel-paint  %s %dpx %d%%  colour %d  %s  %s  [E] %s",
                brush_presets()[brush_].name, size_, opacity_, colour_ + 1, layers_.describe().c_str(),
                view_.zoom_name(), effect);
  SDL_SetWindowTitle(window_, title);
}

double PaintWindow::tablet_pressure(double fallback) {
  if (!tablet_) return fallback;
  const int n = CVL_ReadTabletPackets();
  return n > 0 ? CVL_ReadTabletPressure(n - 1) / 100.0 : fallback;
}

void PaintWindow::pointer_down(double wx, double wy, double pressure) {
  if (stroke_.active()) return;
  if (!in_view(wx, wy)) {
    if (wy >= view_.height()) {  // the palette strip
      const int i = static_cast<int>(wx) / kSwatch;
      if (i < kPaletteSize) {
        colour_ = i;
        chrome_ = true;
        update_title();
      }
    }
    return;
  }
  if (!timing_batch_) {
    timing_batch_ = true;
    batch_start_ = now_ms();
  }
  if (tablet_) CVL_ResetTabletPressure();
  double cx, cy;
  view_.to_canvas(wx, wy, cx, cy);
  StrokeSettings s;
  s.preset = &brush_presets()[brush_];
  s.size = size_;
  s.opacity = opacity_;
  s.colour = kPalette[colour_];
  s.layer = layers_.current_slot();
  const double t = now_ms();
  dirty_.add(stroke_.begin(s, cx, cy, tablet_pressure(pressure)));
  batch_dabs_ms_ += now_ms() - t;
  batch_dabs_ += 1;
}

void PaintWindow::pointer_move(double wx, double wy, double pressure) {
  if (panning_) {
    view_.pan(static_cast<int>(wx) - pan_x_, static_cast<int>(wy) - pan_y_);
    pan_x_ = static_cast<int>(wx);
    pan_y_ = static_cast<int>(wy);
    redraw_all_ = true;
    return;
  }
  if (!stroke_.active()) return;
  if (!timing_batch_) {
    timing_batch_ = true;
    batch_start_ = now_ms();
  }
  double cx, cy;
  view_.to_canvas(wx, wy, cx, cy);
  const double t = now_ms();
  const int before = stroke_.dabs();
  dirty_.add(stroke_.move_to(cx, cy, tablet_pressure(pressure)));
  batch_dabs_ms_ += now_ms() - t;
  batch_dabs_ += stroke_.dabs() - before;
}

void PaintWindow::pointer_up() {
  if (!stroke_.active()) return;
  dirty_.add(stroke_.end());
  ++strokes_;
  std::printf("stroke %d: %d dabs on layer %d\n", strokes_, stroke_.dabs(), layers_.current_index() + 1);
  std::fflush(stdout);
}

void PaintWindow::undo_step(bool redo) {
  if (stroke_.active()) return;
  if (redo ? !CVL_CanRedo() : !CVL_CanUndo()) return;
  if (redo)
    CVL_Redo();
  else
    CVL_Undo();
  std::printf("%s (%d to undo, %d to redo)\n", redo ? "redo" : "undo", CVL_GetUndoCount() - CVL_GetRedoCount(),
              CVL_GetRedoCount());
  std::fflush(stdout);
  redraw_all_ = true;
}

void PaintWindow::run_effect() {
  int count = 0;
  const EffectPreset& e = effect_presets(count)[effect_];
  const double t = now_ms();
  const bool ok = apply_effect(e, layers_.current_slot());
  if (ok)
    std::printf("effect %s on layer %d in %.0f ms\n", e.name, layers_.current_index() + 1, now_ms() - t);
  else
    std::printf("effect %s failed: %s\n", e.name, CVL_GetLastError());
  std::fflush(stdout);
  redraw_all_ = true;
}

bool PaintWindow::save() {
  const bool ok = save_picture(opt_.save_path);
  std::printf(ok ? "saved %s\n" : "could not save %s\n", opt_.save_path.c_str());
  std::fflush(stdout);
  return ok;
}

void PaintWindow::key(const SDL_Event& e) {
  const SDL_Keycode k = e.key.keysym.sym;
  const bool ctrl = (e.key.keysym.mod & KMOD_CTRL) != 0, shift = (e.key.keysym.mod & KMOD_SHIFT) != 0;
  if (ctrl) {
    if (k == SDLK_z) undo_step(shift);
    if (k == SDLK_y) undo_step(true);
    if (k == SDLK_s) save();
    return;
  }
  if (stroke_.active() && k != SDLK_ESCAPE) return;  // settings are fixed while the pen is down
  const bool layer_changed = k == SDLK_n || k == SDLK_m || k == SDLK_o || k == SDLK_v;
  switch (k) {
    case SDLK_ESCAPE: quit_ = true; break;
    case SDLK_1: case SDLK_2: case SDLK_3: case SDLK_4: case SDLK_5: case SDLK_6:
      select_brush(static_cast<int>(k - SDLK_1));
      break;
    case SDLK_LEFTBRACKET: size_ = std::max(1, size_ * 4 / 5); select_brush(brush_); break;
    case SDLK_RIGHTBRACKET: size_ = std::min(kMaxBrush, std::max(size_ + 1, size_ * 5 / 4)); select_brush(brush_); break;
    case SDLK_MINUS: opacity_ = std::max(10, opacity_ - 10); select_brush(brush_); break;
    case SDLK_EQUALS: opacity_ = std::min(100, opacity_ + 10); select_brush(brush_); break;
    case SDLK_c: colour_ = (colour_ + 1) % kPaletteSize; chrome_ = true; break;
    case SDLK_e:
      if (shift) {
        int count = 0;
        effect_presets(count);
        effect_ = (effect_ + 1) % count;
      } else {
        run_effect();
      }
      break;
    case SDLK_n:
      if (!layers_.add_layer()) std::printf("no room for another layer\n");
      break;
    case SDLK_PAGEUP: case SDLK_UP: layers_.next(); chrome_ = true; break;
    case SDLK_PAGEDOWN: case SDLK_DOWN: layers_.previous(); chrome_ = true; break;
    case SDLK_m: layers_.cycle_mode(); break;
    case SDLK_o: layers_.cycle_opacity(); break;
    case SDLK_v: layers_.toggle_visible(); break;
    case SDLK_HOME: view_.reset(); redraw_all_ = true; break;
    default: break;
  }
  if (layer_changed) redraw_all_ = true;
  update_title();
}

void PaintWindow::handle(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT: quit_ = true; break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) layout();
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED) redraw_all_ = true;
      break;
    case SDL_KEYDOWN: key(e); break;
    // Touch and pen contact arrive as finger events with a pressure; SDL also sends
    // them as mouse events, which are left out so each contact paints once.
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.which == SDL_TOUCH_MOUSEID) break;
      if (e.button.button == SDL_BUTTON_LEFT) {
        if (!timing_batch_) batch_event_ms_ = e.button.timestamp;
        pointer_down(e.button.x, e.button.y, 1.0);
      } else {
        panning_ = true;
        pan_x_ = e.button.x;
        pan_y_ = e.button.y;
      }
      break;
    case SDL_MOUSEMOTION:
      if (e.motion.which == SDL_TOUCH_MOUSEID) break;
      if (!timing_batch_) batch_event_ms_ = e.motion.timestamp;
      pointer_move(e.motion.x, e.motion.y, 1.0);
      break;
    case SDL_MOUSEBUTTONUP:
      if (e.button.which == SDL_TOUCH_MOUSEID) break;
      if (e.button.button == SDL_BUTTON_LEFT)
        pointer_up();
      else
        panning_ = false;
      break;
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION: {
      int w = 0, h = 0;
      SDL_GetWindowSize(window_, &w, &h);
      if (!timing_batch_) batch_event_ms_ = e.tfinger.timestamp;
      const double x = e.tfinger.x * w, y = e.tfinger.y * h;
      if (e.type == SDL_FINGERDOWN)
        pointer_down(x, y, e.tfinger.pressure);
      else
        pointer_move(x, y, e.tfinger.pressure);
      break;
    }
    case SDL_FINGERUP: pointer_up(); break;
    case SDL_MOUSEWHEEL: {
      if (stroke_.active() || e.wheel.y == 0) break;
      int mx = 0, my = 0;
      SDL_GetMouseState(&mx, &my);
      view_.zoom_at(e.wheel.y > 0 ? 1 : -1, std::min(mx, view_.width() - 1), std::min(my, view_.height() - 1));
      redraw_all_ = true;
      update_title();
      break;
    }
    default: break;
  }
}

void PaintWindow::show(const Rect& r) {
  if (r.empty() || !surface_) return;
  const Rect c{std::max(0, r.left), std::max(0, r.top), std::min(r.right, std::min(view_.width(), surface_->w)),
               std::min(r.bottom, std::min(view_.height(), surface_->h))};
  if (c.empty()) return;
  // The engine renders B, G, R bytes; SDL converts them to the window's own format.
  const uint8_t* src = view_.pixels() + static_cast<size_t>(c.top) * view_.stride() + static_cast<size_t>(c.left) * 3;
  uint8_t* dst = static_cast<uint8_t*>(surface_->pixels) + static_cast<size_t>(c.top) * surface_->pitch +
                 static_cast<size_t>(c.left) * surface_->format->BytesPerPixel;
  SDL_ConvertPixels(c.right - c.left, c.bottom - c.top, SDL_PIXELFORMAT_BGR24, src, view_.stride(),
                    surface_->format->format, dst, surface_->pitch);
  SDL_Rect sr{c.left, c.top, c.right - c.left, c.bottom - c.top};
  SDL_UpdateWindowSurfaceRects(window_, &sr, 1);
}

void PaintWindow::draw_chrome() {
  if (!surface_) return;
  const int vw = view_.width(), vh = view_.height();
  const Colour dark{44, 44, 48}, light{230, 230, 230}, accent{255, 200, 40};
  fill(surface_, 0, vh, surface_->w, kPaletteHeight, dark);
  for (int i = 0; i < kPaletteSize; ++i) {
    fill(surface_, i * kSwatch + 3, vh + 3, kSwatch - 6, kPaletteHeight - 6, kPalette[i]);
    if (i == colour_) frame(surface_, i * kSwatch, vh, kSwatch, kPaletteHeight, accent);
  }
  // The panel lists layers top first; a bar shows each one's opacity, a hidden layer
  // is drawn dim, the current one framed.
  fill(surface_, vw, 0, kPanelWidth, vh, dark);
  const auto& list = layers_.layers();
  for (size_t i = 0; i < list.size(); ++i) {
    const int row = static_cast<int>(list.size() - 1 - i), y = 4 + row * kLayerRow;
    const LayerInfo& l = list[i];
    fill(surface_, vw + 6, y, kPanelWidth - 12, kLayerRow - 4, l.visible ? Colour{96, 96, 104} : Colour{60, 60, 64});
    fill(surface_, vw + 10, y + kLayerRow - 10, (kPanelWidth - 20) * l.opacity / 100, 4, l.visible ? light : dark);
    // The mode as a row of small ticks, one per step through the mode list.
    for (int m = 0; m <= l.mode; ++m) fill(surface_, vw + 10 + m * 6, y + 4, 4, 6, accent);
    if (static_cast<int>(i) == layers_.current_index()) frame(surface_, vw + 4, y - 2, kPanelWidth - 8, kLayerRow, accent);
  }
  SDL_Rect all[2] = {{0, vh, surface_->w, kPaletteHeight}, {vw, 0, kPanelWidth, vh}};
  SDL_UpdateWindowSurfaceRects(window_, all, 2);
}

void PaintWindow::flush() {
  const double t0 = now_ms();
  double t1 = t0;
  if (redraw_all_) {
    view_.render_all();
    t1 = now_ms();
    show({0, 0, view_.width(), view_.height()});
    draw_chrome();
  } else {
    if (!dirty_.empty()) {
      const Rect shown = view_.render(dirty_);
      t1 = now_ms();
      show(shown);
    }
    if (chrome_) draw_chrome();
  }
  const double t2 = now_ms();
  if (timing_batch_ && batch_dabs_ > 0) {
    BatchTiming b;
    b.total_ms = t2 - batch_start_;
    b.dabs_ms = batch_dabs_ms_;
    b.render_ms = t1 - t0;
    b.show_ms = t2 - t1;
    b.queued_ms = SDL_GetTicks() - batch_event_ms_;
    b.dabs = batch_dabs_;
    timings_.push_back(b);
    if (opt_.timing)
      std::fprintf(stderr, "batch %zu: %d dabs, %.3f ms to the screen (dabs %.3f, render %.3f, show %.3f), %u ms from the event\n",
                   timings_.size(), b.dabs, b.total_ms, b.dabs_ms, b.render_ms, b.show_ms, b.queued_ms);
  }
  dirty_ = {};
  redraw_all_ = chrome_ = timing_batch_ = false;
  batch_dabs_ms_ = 0;
  batch_dabs_ = 0;
}

void PaintWindow::report_timing() const {
  if (!opt_.timing) return;
  std::vector<double> total, dabs, render, show, queued;
  for (const BatchTiming& b : timings_) {
    total.push_back(b.total_ms);
    dabs.push_back(b.dabs_ms);
    render.push_back(b.render_ms);
    show.push_back(b.show_ms);
    queued.push_back(b.queued_ms);
  }
  std::printf("latency: %zu batches, median %.3f ms, p95 %.3f ms, max %.3f ms (median dabs %.3f, render %.3f, show %.3f); "
              "from event timestamps median %.0f ms, max %.0f ms; canvas %dx%d, %zu layers, brush %d px\n",
              timings_.size(), median(total), percentile(total, 0.95), percentile(total, 1.0), median(dabs),
              median(render), median(show), median(queued), percentile(queued, 1.0), canvas_w_,
              canvas_h_, layers_.layers().size(), size_);
}

int PaintWindow::run() {
  SDL_Event e;
  int status = 0;
  flush();
  std::printf("ready: %dx%d canvas, %zu layers\n", canvas_w_, canvas_h_, layers_.layers().size());
  std::fflush(stdout);
  while (!quit_ && SDL_WaitEvent(&e)) {
    // One batch: everything already queued, then a single render and show.
    handle(e);
    while (!quit_ && SDL_PollEvent(&e)) handle(e);
    flush();
  }
  pointer_up();  // a stroke still under way is kept
  if (opt_.save_on_exit && !save()) status = 1;
  report_timing();
  return status;
}

}  // namespace corvel_paint
