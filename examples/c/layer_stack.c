/* layer_stack: layers with mix modes, and undo.
 *
 * Paper in slot 1; above it a blue "Normal" layer, a "Multiply" layer at 80%
 * and a "Screen" layer at 60%, each with a shape. A yellow bar is then drawn,
 * undone and redone, and the page is saved as a PNG.
 *
 *   layer_stack OUT.png
 */
#include <stdio.h>

#include <corvel/corvel.h>

enum { kWidth = 320, kHeight = 240 };

/* Makes a layer in the slot, shows it with the mode at the opacity (percent) and makes it current. */
static int layer(int slot, const char* mode, int opacity) {
  if (!CVL_CreateLayer(slot, kWidth, kHeight)) return 0;
  CVL_SetLayerOptions(slot, 1, 0, opacity, mode);
  CVL_SetLayer(slot);
  return 1;
}

/* The flattened page's colour at (x, y) as R<<16|G<<8|B, for the undo check. */
static int surface_colour(int x, int y) { return CVL_GetColorAtSurface(x, y); }

int main(int argc, char** argv) {
  const char* out = argc > 1 ? argv[1] : "layer_stack.png";
  CVL_CreateImage(NULL, kWidth, kHeight, 32, 0);
  CVL_SetUndoLevels(16);
  CVL_IPLInit(0);

  if (!layer(1, "Normal", 100) || !layer(2, "Normal", 100) || !layer(3, "Multiply", 80) ||
      !layer(4, "Screen", 60)) {
    fprintf(stderr, "layer_stack: no layers: %s\n", CVL_GetLastError());
    CVL_DeleteImage();
    return 1;
  }
  CVL_SetLayer(2);
  CVL_IPLRectangle(40, 90, 220, 20, 20, 200, 160, 100);
  CVL_SetLayer(3);
  CVL_IPLEllipse(230, 60, 40, 120, 60, 300, 220, 100);
  CVL_SetLayer(4);
  CVL_IPLRectangle(250, 250, 250, 90, 100, 250, 140, 100);

  /* One undoable change: CVL_SetLayer took the before-copy; the record follows the change. */
  CVL_SetLayer(2);
  const int before = surface_colour(160, 200);
  CVL_IPLRectangle(250, 220, 0, 0, 190, 320, 210, 100);
  CVL_SaveUndoBuffer(1, 0);
  const int drawn = surface_colour(160, 200);
  CVL_Undo();
  const int undone = surface_colour(160, 200);
  CVL_Redo();
  const int redone = surface_colour(160, 200);
  printf("bar: before %06x, drawn %06x, undone %06x, redone %06x\n", before, drawn, undone, redone);
  if (drawn == before || undone != before || redone != drawn) {
    fprintf(stderr, "layer_stack: undo did not restore the page\n");
    CVL_DeleteImage();
    return 1;
  }

  CVL_SetLastError(NULL);
  CVL_SavePageToFileRGB24(out, ".png", 72); /* 0 whatever happens; a failure leaves its text */
  if (CVL_GetLastError()[0]) {
    fprintf(stderr, "layer_stack: %s was not written: %s\n", out, CVL_GetLastError());
    CVL_DeleteImage();
    return 1;
  }
  printf("wrote %s\n", out);
  CVL_IPLExit();
  CVL_DeleteImage();
  return 0;
}
