/* first_stroke: the smallest useful corvel host.
 *
 * Makes a 400 x 300 canvas with white paper and one visible layer, paints a
 * wavy stroke whose width follows a made-up pen pressure, merges it into the
 * layer as one undo step and saves the page as a PNG.
 *
 *   first_stroke [OUT.png]      (default: first_stroke.png)
 */
#include <math.h>
#include <stdio.h>

#include <corvel/corvel.h>

enum { kWidth = 400, kHeight = 300, kBrushSize = 40, kLayer = 2 };

/* One dab: its footprint follows the pressure (0..1), its colour is 8-bit shifted up. */
static void dab(double x, double y, double pressure, int r, int g, int b) {
  int size = (int)(kBrushSize * pressure + 0.5);
  if (size < 1) size = 1;
  CVL_SetScaleSize(size);
  CVL_DrawDabGrit((int)lround(x), (int)lround(y), r << 8, g << 8, b << 8);
  CVL_DecDrawingLength();
}

int main(int argc, char** argv) {
  const char* out = argc > 1 ? argv[1] : "first_stroke.png";
  const int r = 30, g = 60, b = 200;

  /* The canvas; no dab will be larger than the brush capacity. */
  CVL_SetRandomSeed(1);
  CVL_CreateImage(NULL, kWidth, kHeight, kBrushSize, 0);
  CVL_SetUndoLevels(16);

  /* White paper in slot 1 and a transparent layer above it; both start invisible. */
  if (!CVL_CreateLayer(1, kWidth, kHeight) || !CVL_CreateLayer(kLayer, kWidth, kHeight)) {
    fprintf(stderr, "first_stroke: no layers: %s\n", CVL_GetLastError());
    return 1;
  }
  CVL_SetLayerOptions(1, 1, 0, 100, "Normal");
  CVL_SetLayerOptions(kLayer, 1, 0, 100, "Normal");
  CVL_SetLayer(kLayer);

  /* A soft round brush: size first, then the tool, then density, opacity and mix mode. */
  CVL_SetSize(kBrushSize);
  CVL_SetTool(1.0f, 0, 0, 0, 255, 0, 3, 0, 0, 0, 0, 0, 0, "", "", 0);
  CVL_SetDensity(256);
  CVL_SetAlpha(100);
  CVL_SetMixMode(32, 256);

  /* Pen down. */
  CVL_CreatePaintLayer(100, "Normal");
  CVL_SetColor(r, g, b);

  /* Pen moves: samples along a wave, pressure rising then falling; a dab every
   * tenth of the dab size along each segment, the leftover carried over. */
  const int samples = 60;
  double last_x = 40, last_y = 150, last_p = 0.2, carried = 0;
  dab(last_x, last_y, last_p, r, g, b);
  for (int i = 1; i <= samples; ++i) {
    const double t = (double)i / samples;
    const double x = 40 + 320 * t, y = 150 + 70 * sin(t * 6.2831853);
    const double p = 0.2 + 0.8 * sin(t * 3.1415927);
    const double dx = x - last_x, dy = y - last_y, length = sqrt(dx * dx + dy * dy);
    double at = -carried;
    for (;;) {
      const double here = last_p + (p - last_p) * (at > 0 ? at / length : 0);
      double step = 0.1 * kBrushSize * here;
      if (step < 1) step = 1;
      if (at + step > length) break;
      at += step;
      const double f = at / length;
      dab(last_x + dx * f, last_y + dy * f, last_p + (p - last_p) * f, r, g, b);
    }
    carried = length - at;
    last_x = x;
    last_y = y;
    last_p = p;
  }

  /* Pen up: the stroke goes into the layer and becomes one undo step. */
  CVL_MergePaintLayer(kLayer);
  CVL_SaveUndoBuffer(1, 0);
  printf("undo steps: %d\n", CVL_GetUndoCount());

  /* The page saver returns 0 whatever happens; a failure leaves its text. */
  CVL_SetLastError(NULL);
  CVL_SavePageToFileRGB24(out, ".png", 72);
  if (CVL_GetLastError()[0]) {
    fprintf(stderr, "first_stroke: %s was not written: %s\n", out, CVL_GetLastError());
    CVL_DeleteImage();
    return 1;
  }
  printf("wrote %s\n", out);

  CVL_DeleteImage();
  return 0;
}
