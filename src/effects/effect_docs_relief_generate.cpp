// Descriptions of the sharpening, relief, edge and layout effects, the window
// (rank) filters, the generators that draw over the picture, the script-driven
// tiles and textures, and the Lua filter.
//
// Sliders are in the units a host shows (0..100); the effect call takes them in
// tenths. The generators draw onto a transparent sheet that is then laid on the
// picture by the blend in i2, seeded by i1.
#include "effects/effect_docs.h"

namespace cvl {
namespace {

// ---- Arguments several effects share ------------------------------------------------

// A light's direction as the relief effects read it: slider x 3.6 degrees.
ArgDoc light_direction(const char* arg) {
  return {arg, "Light direction", "degrees", 0, 100, 38,
          "Direction = slider x 3.6 degrees, counter-clockwise from the right: 25 from above, 37.5 from the "
          "upper left, 50 from the left"};
}

// The window of the rank filters: radius trunc(slider / 5) / 2.
ArgDoc window_radius() {
  return {"s1", "Window", "px", 0, 100, 25,
          "Window radius = trunc(slider / 5) / 2 px: below 10 nothing changes, 10..19 a 3 x 3 window, "
          "100 a 21 x 21 window"};
}

// The rank filters' reach as image-script effects 25 and 26 take it.
ArgDoc reach() {
  return {"s1", "Reach", "px", 0, 100, 12, "Reach = trunc(slider / 4) px each way (0..25); below 4 nothing changes"};
}

// The outline step of the outliners: how far the inverted grey's darker pixels spread.
ArgDoc outline(const char* arg) {
  return {arg, "Outline", "%", 0, 100, 60,
          "How far darker pixels of the inverted grey spread into lighter ones, slider %: higher widens the "
          "outlines; 0 none"};
}

// The depth of image-script effect 23's relief.
ArgDoc relief_depth(double def) {
  return {"s1", "Depth", "", 0, 100, def, "Relief depth = trunc(slider x 2.559 + 1) (1..256): deeper, stronger"};
}

// The seed of the generators.
ArgDoc seed() { return {"i1", "Seed", "", 0, 32767, 1, "Random seed: the same seed draws the same picture"}; }

// How a generator's sheet is laid on the picture.
ArgDoc blend() {
  return {"i2", "Blend", "", 0, 12, 0,
          "How the drawing meets the picture: 0 over it, 1 replace, 2 add, 3 subtract, 4 multiply, 5 screen, "
          "6 darken, 7 lighten, 8 difference, 9 overlay, 10 average, 11 exclusion, 12 invert what it covers"};
}

ArgDoc shape_colour() {
  return {"colour", "Colour", "", 0, 255, 0, "Colour of the shapes (unless f1 gives them random colours)"};
}

// The single-colour textures shade from the colour to its inverse, so a middle
// grey would give a flat sheet.
ArgDoc texture_colour() {
  return {"colour", "Colour", "", 0, 255, 0,
          "The texture runs from this colour (its low values) to its inverse (its high values); a colour near "
          "128 in every channel gives a nearly flat sheet. Unused with f1"};
}

ArgDoc random_colours(const char* what) {
  return {"f1", "Random colours", "", 0, 1, 1, what};
}

ArgDoc colourful() {
  return {"f1", "Colourful", "", 0, 1, 0,
          "1 builds a separate texture for red, green and blue (the colour is then unused); 0 one texture "
          "in the colour's shades"};
}

ArgDoc count(double def) {
  return {"s1", "Count", "", 0, 100, def, "Number of shapes = slider x 5 (0..500); 0 draws nothing"};
}

ArgDoc colour_variation(const char* arg) {
  return {arg, "Colour variation", "%", 0, 100, 20,
          "Each shape is made lighter or darker by up to slider % of 255; 0 gives all the same colour"};
}

ArgDoc line_width(const char* arg, const char* what, double def) {
  return {arg, what, "px", 0, 100, def, "Width = trunc(slider / 4) px (at least 1, at most 25)"};
}

// The relief and light of image-script effect 27 ("Bump" and the texture bumps).
std::vector<ArgDoc> bump_args(double depth) {
  return {relief_depth(depth),
          {"s2", "Light height", "degrees", 0, 100, 50,
           "Elevation about slider x 0.9 degrees (trunc(slider / 2 + 1) of 51 steps, 100 straight above); "
           "a lower light shades more strongly"},
          {"s3", "Light direction", "degrees", 0, 100, 50,
           "Direction = 135 + trunc(slider / 2 - 25) x 7.2 degrees counter-clockwise from the right: "
           "50 from the upper left, a full turn over the slider"}};
}

// The light and depth of "Emboss" and the texture embosses.
std::vector<ArgDoc> emboss_args() {
  return {light_direction("s1"),
          {"s2", "Light height", "degrees", 0, 100, 35,
           "Elevation = slider x 1.8 degrees: 50 straight above (flat parts keep their colour), lower "
           "darkens flat parts (0: black), above 50 the light comes from the opposite side"},
          {"s3", "Depth", "", 0, 100, 40,
           "Depth of the relief = trunc(slider / 2) (0..50); 0 lights every pixel as flat"}};
}

ArgDoc script_path(const char* what) {
  return {"text", "Script", "", 0, 0, 0, what};
}

constexpr const char* kTileScript =
    "Path of the image script (.isc) whose picture is tiled, or of an image file; a path that cannot be read "
    "leaves the layer as it was";

// ---- The script-driven families: five names each, one handler ---------------------
// The five names of a family only sort a host's scripts into groups.

EffectDoc backgrounds(const char* name) {
  return {name, "Fills the layer with the picture of an image script (or an image file) repeated as tiles, opaque",
          {{"s1", "Scale", "%", 1, 100, 100,
            "Tile size = slider % of the rendered picture (bicubic); 100 as rendered, 0 a single pixel (flat)"},
           script_path(kTileScript)}};
}

EffectDoc texturize_emboss(const char* name) {
  std::vector<ArgDoc> args = emboss_args();
  args.push_back(script_path(kTileScript));
  return {name,
          "Lights the layer's colour as a relief whose heights are the brightness of a tiled script picture "
          "(as Emboss does with the picture's own); alpha kept",
          args};
}

EffectDoc texturize_bump(const char* name) {
  std::vector<ArgDoc> args = bump_args(20);
  args.push_back({"s4", "Opacity", "%", 0, 100, 60,
                  "Opacity of the lit texture = trunc(slider x 2.559) of 255; 0 leaves the layer"});
  args.push_back({"f1", "Texturize 2", "", 0, 1, 0,
                  "0 lays the texture in Texturize (its shading and the layer's own brightness both lift or lower "
                  "the colour); 1 in Texturize2 (only the texture's light and shade)"});
  args.push_back(script_path(kTileScript));
  return {name,
          "Lays a tiled script picture, lit as a bumpy relief, over the layer as a texture: its light and shade "
          "show on the layer's colours; alpha kept",
          args};
}

EffectDoc displacement_bump(const char* name) {
  return {name,
          "Shows the layer as through an embossed pane: each pixel is taken from where the slopes of a tiled "
          "script picture's brightness push it",
          {{"s1", "Depth", "px", 0, 100, 40,
            "A black-to-white step of the relief moves pixels by about slider px; 0 leaves the picture"},
           {"colour", "Edge colour", "", 0, 255, 0, "Colour (opaque) shown where a pixel is fetched from past the "
                                                    "canvas edge"},
           script_path(kTileScript)}};
}

// A Lua filter's sliders and flags reach the script under their numbers.
ArgDoc lua_slider(const char* arg, const char* name) {
  return {arg, name, "", 0, 100, 50, "Seen by the script as sliderValN = slider / 100 (0..1), N its number"};
}
ArgDoc lua_flag(const char* arg, const char* name) {
  return {arg, name, "", 0, 1, 0, "Seen by the script as flagValN, true when the value's low byte is not 0"};
}

EffectDoc window_filter(const char* name, const char* description) { return {name, description, {window_radius()}}; }

}  // namespace

const std::vector<EffectDoc>& effect_docs_relief_generate() {
  static const std::vector<EffectDoc> docs = {
      // ---- Sharpening ------------------------------------------------------------------
      {"Sharpen",
       "Sharpens fine detail: each colour is pushed away from a slightly blurred copy of itself; alpha kept",
       {{"s1", "Amount", "", 0, 100, 20,
         "Adds slider / 10 times the difference from a blur of radius 1 (10 doubles the local contrast); "
         "0 leaves the picture"}}},
      {"Sharpen More",
       "Sharpens more strongly and over a wider blur than Sharpen; alpha kept",
       {{"s1", "Amount", "", 0, 100, 15,
         "Adds slider / 5 times the difference from the blur (5 doubles the local contrast); 0 leaves the picture"},
        {"s2", "Radius", "px", 0, 100, 20,
         "Blur radius = 1 + trunc(slider / 20) px (1..6): larger sharpens coarser detail"}}},
      {"Unsharp Mask",
       "Sharpens by the difference from a Gaussian blur, with a threshold for noise and a limit on the change; "
       "alpha kept",
       {{"s1", "Amount", "", 0, 100, 30,
         "Detail is multiplied by slider / 20 (0..5) and added; 0 leaves the picture"},
        {"s2", "Radius", "px", 0, 100, 20, "Gaussian sigma = slider / 10 + 0.5 px (0.5..10.5)"},
        {"s3", "Threshold", "levels", 0, 100, 0,
         "Detail of at most trunc(slider / 5) grey levels (0..20) is left alone, so flat noise is not sharpened"},
        {"s4", "Limit", "levels", 0, 100, 50,
         "No channel moves by more than trunc(slider x 2.55) levels; 0 leaves the picture"}}},

      // ---- Relief and edges --------------------------------------------------------------
      {"Bevel",
       "Shades the picture's border as the sloping edge of a raised (or sunken) tile lit from one side; alpha kept",
       {{"s1", "Width", "%", 0, 100, 20,
         "Width of the slope = slider % of a quarter of the canvas's shorter side; 0 does nothing"},
        light_direction("s2"),
        {"s3", "Highlight", "%", 0, 100, 60,
         "How far slopes facing the light move toward white, slider %; 0 none"},
        {"s4", "Shadow", "%", 0, 100, 60,
         "How far slopes turned away from the light move toward black, slider %; 0 none"},
        {"s5", "Rounding", "%", 0, 100, 0,
         "Profile of the slope: 0 a straight 45-degree slope, 100 rounded and steep at the edge"},
        {"s6", "Light height", "degrees", 0, 100, 50,
         "Elevation = slider x 0.9 degrees: 0 grazing, 100 straight above (every slope then darkens)"},
        {"f1", "Sunken", "", 0, 1, 0, "1 sinks the tile (slopes fall toward the middle); 0 raises it"}}},
      {"Bas Relief",
       "A raised-relief look: each pixel's lightness and saturation are pushed away from one neighbour's, so one "
       "side of every edge brightens and the other darkens",
       {{"s1", "Strength", "%", 0, 100, 20,
         "A pixel lighter than its neighbour moves slider % of the way to full lightness, a darker one slider % "
         "toward black (saturation likewise); 0 leaves the picture"},
        {"option", "Direction", "", 0, 2, 0,
         "The neighbour compared with: 0 the one to the left, 1 the one above, 2 the one above-left"}}},
      {"Crackle",
       "Breaks the picture into irregular tiles parted by thin cracks, like old glaze or dried paint; alpha kept",
       {{"s1", "Tile size", "px", 0, 100, 30, "Tiles about trunc(slider / 2) + 4 px across (4..54)"},
        {"option", "Light cracks", "", 0, 1, 0, "0 darkens the cracks; any other value lightens them"},
        {"f1", "Pillow", "", 0, 1, 1, "1 shades each tile darker toward its rim; 0 leaves tiles flat"}}},
      {"Drop Shadow",
       "Lays a soft black shadow of the layer's shape under it, offset; it shows only where the layer is "
       "transparent (around a cut-out), not on an opaque photo",
       {{"s1", "Offset X", "%", 0, 100, 53,
         "Shadow moved (slider - 50) x 2 % of the canvas width: 50 none, above 50 to the right"},
        {"s2", "Offset Y", "%", 0, 100, 53,
         "Shadow moved (slider - 50) x 2 % of the canvas height: 50 none, above 50 down"},
        {"s3", "Softness", "px", 0, 100, 10, "Blur sigma of the shadow = slider x 0.4 + 0.6 px"},
        {"s4", "Opacity", "%", 0, 100, 70, "Shadow opacity = trunc(slider x 2.559) of 255; 0 no shadow"},
        {"colour", "Fill colour", "", 0, 255, 0,
         "Only fills the area the offset uncovers, which stays clear; the shadow itself is always black"}}},
      {"Emboss",
       "Lights the picture as a relief made of its own brightness: colours darken on slopes turned from the "
       "light; alpha kept",
       emboss_args()},
      {"Fingerprint",
       "Redraws the picture in grey as ridges that follow its tones, like the whorls of a fingertip; alpha kept",
       {{"s1", "Ridges", "", 0, 100, 30, "Dark ridges from black to white = 2 + slider x 0.3 (2..32)"},
        {"s2", "Smoothing", "px", 0, 100, 20,
         "Gaussian smoothing of the tones first, sigma = slider / 20 px (0..5); 0 none"},
        {"f1", "Invert", "", 0, 1, 0, "1 swaps ridges and valleys"}}},
      {"Frosted Glass",
       "Scatters the pixels, each taken whole from a random neighbour, as seen through frosted glass",
       {{"s1", "Spread", "px", 0, 100, 10,
         "Pixels come from up to trunc(slider / 2) px away each way (0..50); 0 leaves the picture"},
        {"colour", "Fill colour", "", 0, 255, 0,
         "Colour of pixels fetched from past the canvas edge; they are transparent, so it rarely shows"}}},
      {"Gausy",
       "A soft-focus glow: the picture's own blur, brightened, laid over it as through fine gauze; alpha kept",
       {{"s1", "Blur", "px", 0, 100, 20, "Blur sigma of the glow = slider x 0.4 + 0.6 px"},
        {"s2", "Strength", "%", 0, 100, 60, "How much of the glow is mixed in, slider %; 0 leaves the picture"},
        {"s3", "Brightness", "%", 0, 100, 30, "The glow is brightened by slider %: 0 not at all, 100 doubled"},
        {"option", "Blend", "", 0, 2, 0,
         "0 the lighter of picture and glow, 1 screen, 2 the darker (a misty shadow instead of a glow)"}}},
      {"Glow",
       "Glowing edges: the picture goes dark and its light parts glow in their colours where they meet darker "
       "ones",
       {{"s1", "Spread", "%", 0, 100, 85,
         "How far dark areas reach into lighter neighbours, slider % a step along each sweep: higher widens and "
         "brightens the glow; 0 leaves the picture black, 100 floods whole rows"}}},
      {"Scribble",
       "Redraws the picture as wavering diagonal pen hatching, thicker where it is dark; alpha kept",
       {{"s1", "Amount", "%", 0, 100, 100,
         "Mix of the drawing over the picture: 0 leaves the picture, 100 the drawing alone"},
        {"option", "Ink", "", 0, 2, 0,
         "0 black strokes on white paper, 1 the picture's own colours darkened on white, 2 black strokes over "
         "the picture"},
        {"f1", "Cross-hatch", "", 0, 1, 1, "1 adds a crossing set of strokes in the darkest parts"}}},

      // ---- Layout ----------------------------------------------------------------------
      {"Vignette",
       "Darkens (or tints) the picture toward its edges round a clear oval or rectangle with a soft rim",
       {{"s1", "Red", "%", 0, 100, 0, "Red of the vignette colour = slider % of 255 (unused with f6)"},
        {"s2", "Green", "%", 0, 100, 0, "Green of the vignette colour = slider % of 255 (unused with f6)"},
        {"s3", "Blue", "%", 0, 100, 0, "Blue of the vignette colour = slider % of 255 (unused with f6)"},
        {"s4", "Softness", "%", 0, 100, 50,
         "Blur of the rim, sigma = slider / 10 % of the canvas's longer side; 0 a hard rim"},
        {"s5", "Size", "%", 0, 100, 45,
         "Half-width and half-height of the clear shape = slider % of the canvas width and height (50 touches "
         "the edges)"},
        {"s6", "Strength", "%", 0, 100, 80,
         "How much the colour covers the outside, slider % (with f3 the middle instead); 0 none"},
        {"f1", "Tint picture", "", 0, 1, 1,
         "1 tints the picture; 0 paints the colour over the whole layer with the vignette in its alpha, for an "
         "empty layer above the picture (an opaque picture becomes flat colour)"},
        {"f2", "Fade out", "", 0, 1, 0, "1 makes the outside transparent instead of coloured"},
        {"f3", "Inverted", "", 0, 1, 0, "1 colours the middle and leaves the outside clear"},
        {"f4", "Rectangle", "", 0, 1, 0, "1 a rectangle instead of an oval"},
        {"f5", "Even margins", "", 0, 1, 0,
         "1 leaves the same margin on all four sides (sized from the longer side) instead of the same share"},
        {"f6", "Paint colour", "", 0, 1, 0, "1 uses the current paint colour instead of s1..s3"}}},
      {"Borderize",
       "Frames the picture with stripes: rings running round its edge, each in one colour taken from the edge",
       {{"s1", "Sample point", "%", 0, 100, 10,
         "Where round the edge the rings take their colours: 0 the top-left corner, 25 top-right, 50 "
         "bottom-right, 75 bottom-left (clockwise)"},
        {"s2", "Width", "%", 0, 100, 10, "Depth of the frame = slider % of half the shorter side; 0 none"}}},
      {"Reflection",
       "Mirrors the picture downward below a horizon, fading out like a reflection in water",
       {{"s1", "Horizon", "%", 0, 100, 40,
         "Horizon row = (1 - slider / 100) x (height - 1): with f2 the reflection fills the bottom slider % of "
         "the picture"},
        {"s2", "Opacity", "%", 0, 100, 70, "Opacity of the reflection at the horizon, slider % of the alpha"},
        {"s3", "Fade", "%", 0, 100, 20,
         "The reflection fades out over 100 / slider sixteenths of the height (100: 1/16); 0 does not fade"},
        {"s4", "Squash", "%", 0, 100, 25,
         "Rows read upward per row written = 4 x slider / 100: 25 a true mirror, 50 squashed to half, 0 one "
         "row repeated"},
        {"f1", "Picture horizon", "", 0, 1, 0,
         "1 starts every column at the lowest nearly opaque row of the whole picture (s1 and f2 unused; "
         "nothing shows on an opaque picture)"},
        {"f2", "Fixed horizon", "", 0, 1, 1,
         "1 starts every column at the s1 horizon; 0 each column below its lowest non-transparent pixel "
         "(nothing shows on an opaque picture)"}}},
      {"Edge2",
       "White edge lines on black where the picture's brightness steps (Canny edge detection); alpha kept",
       {{"s1", "Smoothing", "px", 0, 100, 25,
         "Blur sigma before the search = 0.5 + slider x 0.04 px (0.5..4.5): more finds fewer, broader edges"},
        {"s2", "Low threshold", "levels", 0, 100, 20,
         "Edges continue while the step is at least slider / 2 grey levels (0..50)"},
        {"s3", "High threshold", "levels", 0, 100, 30,
         "Edges start where the step reaches slider grey levels (0..100); the two swap if s2's is higher, and "
         "0 on both marks every slope"}}},
      {"Edge3",
       "A pencil sketch in grey: the picture's outlines drawn dark on white",
       {{"s1", "Light spread", "%", 0, 100, 10,
         "How far lighter pixels of the inverted grey spread into darker neighbours, slider %: higher "
         "whitens the drawing; 0 none"},
        {"s2", "Line weight", "%", 0, 100, 60,
         "How far darker pixels of the inverted grey spread into lighter ones, slider %: higher draws wider, "
         "darker lines; 0 draws none (plain white)"}}},

      // ---- Window (rank) filters ------------------------------------------------------
      window_filter("Arithmetic Mean", "Blurs by averaging each pixel's square neighbourhood (a box blur)"),
      window_filter("Geometric Mean",
                    "Smooths with the geometric mean of each square neighbourhood: like a blur, but bright specks "
                    "fade"),
      window_filter("Harmonic Mean",
                    "Smooths with the harmonic mean of each square neighbourhood: dark detail spreads, bright "
                    "specks vanish"),
      window_filter("Maximum2",
                    "Each channel (alpha too) takes its largest value in the square round the pixel: light "
                    "areas grow"),
      window_filter("Minimum2",
                    "Each channel (alpha too) takes its smallest value in the square round the pixel: dark "
                    "areas grow"),
      window_filter("Midpoint",
                    "Each channel becomes halfway between its darkest and lightest value in the square round "
                    "the pixel"),
      window_filter("Median",
                    "Each channel takes the median of the square round the pixel: removes specks and scratches "
                    "and keeps edges"),
      {"Deinterlace",
       "Removes the comb of interlaced video by rebuilding every odd row from the even rows",
       {{"f1", "Repeat rows", "", 0, 1, 1,
         "1 repeats the even row above over each odd row; 0 makes each odd row the mean of its neighbours"}}},
      {"Edge",
       "Finds edges in each colour channel: coloured outlines on black, or over the picture",
       {{"s1", "Strength", "", 0, 100, 50,
         "Edge brightness gain = trunc(slider x 2.559): 25 shows edges as found, 100 four times brighter; "
         "0 black"},
        {"s2", "Threshold", "%", 0, 100, 10, "Edges fainter than slider % of full brightness are dropped"},
        {"s3", "Keep picture", "%", 0, 100, 0,
         "Slider % of the picture is kept under the edges: 0 edges on black, 100 the picture unchanged"}}},
      {"Bump",
       "Lights the picture as a relief of its own brightness: slopes toward the light brighten, others darken, "
       "flat parts keep their colour",
       bump_args(5)},
      {"Emboss2",
       "A grey relief of the picture lit from one side, optionally tinted by the picture's own colour",
       {relief_depth(5),
        light_direction("s2"),
        {"s3", "Light height", "degrees", 0, 100, 25,
         "Elevation = trunc(slider x 1.8) degrees: 50 straight above (flat parts white), 0 grazing (flat "
         "parts black)"},
        {"s4", "Colour", "%", 0, 100, 0,
         "Slider % of the picture's own colour mixed into the relief: 0 grey, 100 the picture shaded"}}},
      {"Emboss3",
       "A pencil drawing on a grey relief: the picture embossed, then lightened by its own negative so its dark "
       "strokes stay as lines",
       {relief_depth(8),
        light_direction("s2")}},
      {"Outliner 1",
       "Outlines the picture's shapes: its blurred, inverted grey is laid over it as a texture, darkening along "
       "edges",
       {outline("s1")}},
      {"Outliner 2",
       "Pops the picture (sharpened, contrast raised) and outlines its shapes as Outliner 1 does",
       {{"s1", "Contrast", "", 0, 100, 20,
         "Strength of the contrast step: higher pushes darks to black and lights to white"},
        outline("s3"),
        {"f1", "Extra contrast", "", 0, 1, 0, "1 adds a first, mild contrast step"}}},
      {"Maximum",
       "Each channel (alpha too) takes its largest value in the square round the pixel: light areas grow",
       {reach()}},
      {"Minimum",
       "Each channel takes its smallest value in the square round the pixel: dark areas grow, light detail shrinks",
       {reach()}},

      // ---- Generators ------------------------------------------------------------------
      {"Lines",
       "Draws straight strokes at random places over the picture",
       {count(20),
        {"s2", "Length", "px", 0, 100, 10, "Stroke length = slider x 10 px (0 a round dot)"},
        {"s3", "Length variation", "%", 0, 100, 50, "Each stroke is shortened at random by up to slider %"},
        {"s4", "Direction", "degrees", 0, 100, 12,
         "Direction = trunc(slider x 3.6) degrees counter-clockwise from the right (unused with f2)"},
        line_width("s5", "Width", 12),
        colour_variation("s6"),
        seed(),
        blend(),
        random_colours("1 gives every stroke a random colour"),
        {"f2", "Random directions", "", 0, 1, 0, "1 points every stroke in a random direction"},
        shape_colour()}},
      {"Points",
       "Scatters round dots at random over the picture",
       {count(40),
        {"s2", "Radius", "px", 0, 100, 12, "Dot radius = trunc(slider / 4) px (0..25); 0 single pixels"},
        colour_variation("s3"),
        seed(),
        blend(),
        random_colours("1 gives every dot a random colour"),
        shape_colour()}},
      {"Circles",
       "Draws circles (rings or discs) at random places over the picture",
       {count(10),
        {"s2", "Radius", "px", 0, 100, 3, "Radius = slider x 10 px (at least 1)"},
        {"s3", "Size variation", "%", 0, 100, 50, "Each circle is shrunk at random by up to slider %"},
        line_width("s4", "Line width", 8),
        colour_variation("s5"),
        seed(),
        blend(),
        random_colours("1 gives every circle a random colour"),
        {"f2", "Filled", "", 0, 1, 0, "1 draws filled discs; 0 rings of the s4 width"},
        shape_colour()}},
      {"Rectangles",
       "Draws rectangles (outlines or filled) at random places over the picture",
       {count(10),
        {"s2", "Width", "px", 0, 100, 5, "Rectangle width = slider x 10 px (at least 1)"},
        {"s3", "Height", "px", 0, 100, 3, "Rectangle height = slider x 10 px (at least 1)"},
        {"s4", "Size variation", "%", 0, 100, 50, "Each rectangle is shrunk at random by up to slider %"},
        line_width("s5", "Line width", 8),
        colour_variation("s6"),
        seed(),
        blend(),
        random_colours("1 gives every rectangle a random colour"),
        {"f2", "Filled", "", 0, 1, 0, "1 draws filled rectangles; 0 outlines of the s5 width"},
        shape_colour()}},
      {"Splines",
       "Draws smooth curves through random points over the picture",
       {count(4),
        {"s2", "Points", "", 0, 100, 10, "Points a curve passes through = trunc(slider x 0.64) (3..64)"},
        {"s3", "Reach", "px", 0, 100, 5,
         "Each next point lies up to slider x 10 px away each way (at least 1)"},
        {"s4", "Width variation", "%", 0, 100, 30, "Each curve is thinned at random by up to slider %"},
        line_width("s5", "Width", 12),
        colour_variation("s6"),
        seed(),
        blend(),
        random_colours("1 gives every curve a random colour"),
        shape_colour()}},
      {"Worms",
       "Draws wandering, curling strokes at random places over the picture",
       {count(10),
        {"s2", "Length", "px", 0, 100, 10, "Length = slider x 10 px (at least 1)"},
        {"s3", "Curl", "degrees", 0, 100, 20,
         "Each 2-pixel step turns at random by up to slider degrees each way; 0 straight"},
        line_width("s4", "Width", 12),
        colour_variation("s5"),
        seed(),
        blend(),
        random_colours("1 gives every worm a random colour"),
        shape_colour()}},
      {"Fibers",
       "Covers the picture with fine, wavy, translucent fibres running mostly across",
       {{"s1", "Density", "", 0, 100, 10, "Fibres per 10,000 pixels = trunc(slider + 4) (4..104)"},
        {"s2", "Length", "px", 0, 100, 10, "Length = slider x 10 px (at least 1)"},
        {"s3", "Waviness", "degrees", 0, 100, 12,
         "Each 2-pixel step turns at random by up to trunc(slider / 4) degrees each way (0..25)"},
        {"s4", "Direction spread", "%", 0, 100, 20,
         "Directions spread about the horizontal by slider % of a half turn; 0 all horizontal"},
        line_width("s5", "Width", 4),
        colour_variation("s6"),
        seed(),
        blend(),
        shape_colour()}},
      {"Trees",
       "Draws branching trees growing upward from random places",
       {count(2),
        {"s2", "Branch spread", "%", 0, 100, 40, "Branches part by up to slider % of a right angle"},
        {"s3", "Trunk length", "px", 0, 100, 5, "Trunk length = slider x 10 px (at least 1); branches get shorter"},
        {"s4", "Levels", "", 0, 100, 60, "Levels of branching = trunc(slider / 10) (1..10)"},
        line_width("s5", "Trunk width", 16),
        colour_variation("s6"),
        seed(),
        blend(),
        random_colours("1 gives every tree a random colour"),
        shape_colour()}},
      {"Generate Noise",
       "Covers the picture with random grain of a chosen size",
       {{"s1", "Density", "%", 0, 100, 100, "Slider % of the grains are drawn; 0 draws nothing"},
        {"s2", "Strength", "", 0, 100, 100,
         "How far grains vary from the colour toward its inverse = trunc(slider x 2.559) of 255 (unused "
         "with f2); 0 the plain colour"},
        {"s3", "Grain size", "px", 0, 100, 2, "Grains are trunc(slider) px squares (at least 1)"},
        seed(),
        blend(),
        {"f1", "Random colours", "", 0, 1, 0, "1 gives every grain a random colour"},
        {"f2", "Full strength", "", 0, 1, 0, "1 varies grains fully, from the colour to its inverse, ignoring s2"},
        texture_colour()}},
      {"Blobs",
       "Draws soft round blobs at random places; blobs that come close flow together like drops of liquid",
       {count(6),
        {"s2", "Size", "px", 0, 100, 4, "Largest radius = slider x 10 px (at least 2); blobs are 40..100 % of it"},
        seed(),
        blend(),
        random_colours("1 gives every blob a random colour"),
        shape_colour()}},
      {"Plasma",
       "Covers the picture with a cloudy plasma texture",
       {{"s1", "Roughness", "", 0, 100, 50, "Roughness = slider x 5: 0 smooth clouds, 50 the usual, 100 rough"},
        seed(),
        blend(),
        colourful(),
        texture_colour()}},
      {"Sine Plasma",
       "Covers the picture with smooth rainbow waves made of sines (not random), half mixed with the colour",
       {{"s1", "Waves across", "", 0, 100, 15, "Waves across the picture = trunc(slider / 3) (0..33)"},
        {"s2", "Waves down", "", 0, 100, 15, "Waves down the picture = trunc(slider / 3) (0..33)"},
        {"s3", "Phase 1", "", 0, 100, 0, "Shifts the waves: a full turn over the slider"},
        {"s4", "Phase 2", "", 0, 100, 0, "Shifts the other waves: a full turn over the slider"},
        blend(),
        {"colour", "Colour", "", 0, 255, 0, "Half of this colour is mixed into the rainbow"}}},
      {"Fractal Plasma",
       "Covers the picture with a fractal cloud texture, with detail at every scale",
       {seed(), blend(), colourful(), texture_colour()}},
      {"Generate Perlin Noise",
       "Covers the picture with smooth Perlin noise, optionally with finer detail layered in",
       {{"s1", "Feature size", "%", 0, 100, 20,
         "Size of the features = (slider + 1) / 2 % of the picture's longer side (at least 2 px)"},
        {"s2", "Detail", "", 0, 100, 50, "Octaves of finer detail = 1 + trunc((slider + 1) / 17) (1..6)"},
        seed(),
        blend(),
        colourful(),
        texture_colour()}},
      {"Pattern",
       "Covers the picture with a regular two-tone pattern: checks, stripes, grid, dots, bricks or diamonds",
       {{"s1", "Cell width", "px", 0, 100, 20, "Cell width = trunc(slider) px (at least 2)"},
        {"s2", "Cell height", "px", 0, 100, 20, "Cell height = trunc(slider) px (at least 2)"},
        {"s3", "Turn", "degrees", 0, 100, 0, "The whole pattern turns by trunc(slider) x 3.6 degrees"},
        line_width("s4", "Line width", 12),
        {"s5", "Ground", "%", 0, 100, 0, "Grey of the ground = slider % of white (the pattern itself is white)"},
        {"option", "Kind", "", 0, 7, 0,
         "0 checks, 1 horizontal stripes, 2 vertical stripes, 3 grid, 4 dots, 5 bricks, 6 diagonal stripes, "
         "7 diamonds (higher values count round)"},
        blend(),
        {"f1", "Swap tones", "", 0, 1, 0, "1 swaps the pattern and ground tones"}}},

      // ---- Tiles and textures from pictures and scripts --------------------------------
      {"Pattern Explorer",
       "Cuts a square tile from the pattern picture the host left in the effect source buffer, turns it and "
       "repeats it over the layer",
       {{"s1", "Tile size", "%", 0, 100, 20, "Tile side = slider % of the canvas's shorter side (at least 2 px)"},
        {"s2", "Cut X", "%", 0, 100, 50, "Centre of the cut, slider % across (kept inside the picture)"},
        {"s3", "Cut Y", "%", 0, 100, 50, "Centre of the cut, slider % down (kept inside the picture)"},
        {"s4", "Turn", "degrees", 0, 100, 0, "The tile turns by trunc(slider x 3.6) degrees; 0 and 100 leave it"},
        {"s6", "Repeat size", "%", 0, 100, 50,
         "Tiles are repeated at trunc(slider x 2) % of the cut (bicubic): 50 as cut, 0 a single pixel (flat)"},
        {"f1", "Mirror", "", 0, 1, 0,
         "1 flips every other tile so neighbours meet along matching edges; 0 plain repeats"}}},
      backgrounds("Backgrounds Material"),
      backgrounds("Backgrounds Nature"),
      backgrounds("Backgrounds Surface"),
      backgrounds("Backgrounds Other"),
      backgrounds("Backgrounds Utility"),
      texturize_emboss("Texturize Emboss Material"),
      texturize_emboss("Texturize Emboss Nature"),
      texturize_emboss("Texturize Emboss Surface"),
      texturize_emboss("Texturize Emboss Other"),
      texturize_emboss("Texturize Emboss Utility"),
      texturize_bump("Texturize Bump Material"),
      texturize_bump("Texturize Bump Nature"),
      texturize_bump("Texturize Bump Surface"),
      texturize_bump("Texturize Bump Other"),
      texturize_bump("Texturize Bump Utility"),
      displacement_bump("Displacement Bump Material"),
      displacement_bump("Displacement Bump Nature"),
      displacement_bump("Displacement Bump Surface"),
      displacement_bump("Displacement Bump Other"),
      displacement_bump("Displacement Bump Utility"),

      // ---- Lua ----------------------------------------------------------------------
      {"Lua Filter",
       "Runs a Lua filter script over the layer; what it does, and what its sliders and flags mean, is the "
       "script's own",
       {lua_slider("s1", "Slider 1"), lua_slider("s2", "Slider 2"), lua_slider("s3", "Slider 3"),
        lua_slider("s4", "Slider 4"), lua_slider("s5", "Slider 5"), lua_slider("s6", "Slider 6"),
        {"option", "Style 1", "", 0, 9, 0, "Seen by the script as styleVal1 = option + 1"},
        {"i2", "Style 2", "", 0, 9, 0, "Seen by the script as styleVal2 = i2 + 1"},
        lua_flag("f1", "Flag 1"), lua_flag("f2", "Flag 2"), lua_flag("f3", "Flag 3"),
        lua_flag("f4", "Flag 4"), lua_flag("f5", "Flag 5"), lua_flag("f6", "Flag 6"),
        script_path("Path of the Lua filter script (.lua) to run; load and run errors leave the layer as it was")}},
  };
  return docs;
}

}  // namespace cvl
