// Descriptions of the distortions, polygon warps, image-script bends and tiles,
// the mask builders, flips and the noise effects.
//
// Sizes given as "% of the shorter side" are of the canvas; the polygon warps
// work on the box round the current layer's non-transparent pixels.
#include "effects/effect_docs.h"

namespace cvl {
namespace {

// The colour the transforms give the pixels they uncover, which are left clear.
ArgDoc uncovered_fill() {
  return {"colour", "Fill colour", "", 0, 255, 255,
          "Colour of the pixels the distortion uncovers; they are left transparent, so it shows only where the "
          "layer's alpha is locked"};
}

// A distortion's centre along one axis: 50 is the middle, 0 and 100 the edges.
ArgDoc centre_x(const char* arg) {
  return {arg, "Centre X", "%", 0, 100, 50, "Centre across: 0 left edge, 50 middle, 100 right edge"};
}
ArgDoc centre_y(const char* arg) {
  return {arg, "Centre Y", "%", 0, 100, 50, "Centre down: 0 top edge, 50 middle, 100 bottom edge"};
}

// The seed of the seeded displacements.
ArgDoc seed(const char* arg) {
  return {arg, "Seed", "", 0, 32767, 1, "Random seed: the same seed gives the same picture"};
}

// A flag that lets a bend read round the opposite edge.
ArgDoc wrap_flag(const char* arg) {
  return {arg, "Wrap", "", 0, 1, 0,
          "1 reads round the opposite edge where the bend looks past the picture; 0 repeats the edge pixels"};
}

// The mask builders' flag that opens the whole mask first.
ArgDoc start_open(const char* arg) {
  return {arg, "Start open", "", 0, 1, 1, "1 first makes the whole mask open; 0 adds to the mask as it stands"};
}

// The four rows that add noise of one distribution to the layer.
EffectDoc add_noise(const char* name, const char* description, const char* amount) {
  return {name,
          description,
          {{"s1", "Amount", "levels", 0, 100, 20, amount},
           {"f1", "Grey grain", "", 0, 1, 0,
            "1 adds the same noise to red, green and blue (grey grain); 0 draws each channel's own"}}};
}

}  // namespace

const std::vector<EffectDoc>& effect_docs_distort_noise() {
  static const std::vector<EffectDoc> docs = {
      // ---- Transforms of the premultiplied picture ----
      {"Elliptical",
       "Bulges the middle of the picture out as on a dome inside an ellipse, or pinches it in towards the rim",
       {{"s1", "Width", "%", 0, 100, 40, "Half-width of the ellipse: slider % of the width; 0 leaves the picture"},
        {"s2", "Height", "%", 0, 100, 40, "Half-height of the ellipse: slider % of the height; 0 leaves the picture"},
        {"option", "Mode", "", 0, 1, 0, "0 bulges the middle out like a dome (magnified); 1 pinches it in"},
        uncovered_fill()}},
      {"Lens",
       "A magnifying glass over the middle of the picture: twice as large at its centre, unmagnified at its rim",
       {{"s1", "Radius", "%", 0, 100, 40,
         "Radius of the glass: slider % of the shorter side; 0 leaves the picture"},
        uncovered_fill()}},
      {"Marble",
       "Veins of marble: the picture wavers along waves whose phase is stirred by smooth noise",
       {{"s1", "Scale", "%", 0, 100, 20, "Length of the waves: slider % of the shorter side (at least 1 px)"},
        {"s2", "Amplitude", "%", 0, 100, 3, "How far pixels move: slider % of the shorter side; 0 leaves the picture"},
        {"s3", "Turbulence", "turns", 0, 100, 25,
         "How much the noise bends the waves: slider x 0.04 turns (0..4); 0 gives plain waves"},
        uncovered_fill()}},
      {"Offset",
       "Shifts the picture by whole pixels; what the shift uncovers is left clear, wrapped round or edge-filled",
       {{"s1", "Shift X", "%", 0, 100, 70,
         "Shift right by (slider - 50) x 2 % of the width: 50 leaves it, 0 and 100 move it a whole width"},
        {"s2", "Shift Y", "%", 0, 100, 60,
         "Shift down by (slider - 50) x 2 % of the height: 50 leaves it, 0 and 100 move it a whole height"},
        {"option", "Edges", "", 0, 3, 1,
         "0 uncovered pixels are clear, 1 wrap round from the other side, 2 repeat the edge pixels, 3 as 0; "
         "other values fail"},
        uncovered_fill()}},

      // ---- Polygon warps of the layer's content box ----
      {"Perspective",
       "Puts the layer's content in perspective: each edge of the box round it is lengthened or shortened about "
       "its middle",
       {{"s1", "Top width", "%", 1, 100, 35,
         "Length of the top edge: slider x 2 % of the box width; 50 keeps it, 100 doubles it, 0 collapses it (fails)"},
        {"s2", "Bottom width", "%", 1, 100, 65,
         "Length of the bottom edge: slider x 2 % of the box width; 50 keeps it, 0 collapses it (fails)"},
        {"s3", "Left height", "%", 1, 100, 50,
         "Length of the left edge: slider x 2 % of the box height; 50 keeps it, 0 collapses it (fails)"},
        {"s4", "Right height", "%", 1, 100, 50,
         "Length of the right edge: slider x 2 % of the box height; 50 keeps it, 0 collapses it (fails)"},
        uncovered_fill()}},
      {"Warp",
       "Pushes each corner of the layer's content box diagonally out from its middle or in towards it; straight "
       "lines stay straight",
       {{"s1", "Top left", "%", 1, 100, 65,
         "Moves the corner out (above 50) or in by (slider - 50) % of the box's width and height; 0 reaches the "
         "middle (fails)"},
        {"s2", "Top right", "%", 1, 100, 45,
         "Moves the corner out (above 50) or in by (slider - 50) % of the box's width and height; 0 reaches the "
         "middle (fails)"},
        {"s3", "Bottom right", "%", 1, 100, 60,
         "Moves the corner out (above 50) or in by (slider - 50) % of the box's width and height; 0 reaches the "
         "middle (fails)"},
        {"s4", "Bottom left", "%", 1, 100, 40,
         "Moves the corner out (above 50) or in by (slider - 50) % of the box's width and height; 0 reaches the "
         "middle (fails)"},
        uncovered_fill()}},
      {"Warp Edge",
       "Moves one edge of the layer's content box: its two ends slide along it and the whole edge goes out or in",
       {{"s1", "First end", "%", 0, 100, 60,
         "Slides the edge's first corner (clockwise) along it by (slider - 50) x 4 % of the box, clockwise above "
         "50; 50 leaves it"},
        {"s2", "Second end", "%", 0, 100, 50,
         "Slides the edge's second corner along it by (slider - 50) x 4 % of the box, clockwise above 50"},
        {"s3", "Out", "%", 0, 100, 45,
         "Moves the edge out (above 50) or in by (slider - 50) x 4 % of the box; at 25 it meets the opposite edge "
         "(fails)"},
        {"option", "Edge", "", 0, 3, 0, "Which edge: 0 top, 1 right, 2 bottom, 3 left (taken modulo 4)"},
        uncovered_fill()}},
      {"Warp 3 Point",
       "Moves the top-left, top-right and bottom-left corners of the layer's content box; the fourth follows as a "
       "parallelogram unless pinned",
       {{"s1", "Top left X", "%", 0, 100, 55,
         "Moves the top-left corner right (above 50) or left by (slider - 50) x 4 % of the box width"},
        {"s2", "Top left Y", "%", 0, 100, 55,
         "Moves the top-left corner down (above 50) or up by (slider - 50) x 4 % of the box height"},
        {"s3", "Top right X", "%", 0, 100, 50,
         "Moves the top-right corner right (above 50) or left by (slider - 50) x 4 % of the box width"},
        {"s4", "Top right Y", "%", 0, 100, 50,
         "Moves the top-right corner down (above 50) or up by (slider - 50) x 4 % of the box height"},
        {"s5", "Bottom left X", "%", 0, 100, 50,
         "Moves the bottom-left corner right (above 50) or left by (slider - 50) x 4 % of the box width"},
        {"s6", "Bottom left Y", "%", 0, 100, 50,
         "Moves the bottom-left corner down (above 50) or up by (slider - 50) x 4 % of the box height"},
        {"f3", "Mirror across", "", 0, 1, 0, "1 mirrors the warped picture left to right"},
        {"f4", "Mirror down", "", 0, 1, 0, "1 mirrors the warped picture top to bottom"},
        {"f5", "Pin corner", "", 0, 1, 0,
         "1 keeps the bottom-right corner in place instead of completing the parallelogram"},
        uncovered_fill()}},
      {"Stretch",
       "Makes the layer's content wider or narrower and taller or shorter about its middle",
       {{"s1", "Width", "%", 1, 100, 70,
         "New width: slider x 2 % of the content box's width; 50 keeps it, 0 collapses it (fails)"},
        {"s2", "Height", "%", 1, 100, 40,
         "New height: slider x 2 % of the content box's height; 50 keeps it, 0 collapses it (fails)"},
        uncovered_fill()}},
      {"Stretch Edge",
       "Moves each edge of the layer's content box out or in on its own, stretching the picture with it",
       {{"s1", "Left", "%", 0, 100, 40,
         "Moves the left edge out (above 50) or in by (slider - 50) % of the box width; 50 leaves it"},
        {"s2", "Top", "%", 0, 100, 50,
         "Moves the top edge out (above 50) or in by (slider - 50) % of the box height; 50 leaves it"},
        {"s3", "Right", "%", 0, 100, 50,
         "Moves the right edge out (above 50) or in by (slider - 50) % of the box width; 50 leaves it"},
        {"s4", "Bottom", "%", 0, 100, 35,
         "Moves the bottom edge out (above 50) or in by (slider - 50) % of the box height; 50 leaves it"},
        uncovered_fill()}},
      {"Vertical Pivot",
       "Turns the layer's content about an upright axis: the left and right edges grow or shrink about their "
       "middles and slide across",
       {{"s1", "Left height", "%", 1, 100, 50,
         "Length of the left edge: slider x 2 % of the box height; 50 keeps it, 0 collapses it (fails)"},
        {"s2", "Right height", "%", 1, 100, 30,
         "Length of the right edge: slider x 2 % of the box height; 50 keeps it, 0 collapses it (fails)"},
        {"s3", "Left shift", "%", 0, 100, 50,
         "Slides the left edge right (above 50) or left by (slider - 50) % of the box width"},
        {"s4", "Right shift", "%", 0, 100, 40,
         "Slides the right edge right (above 50) or left by (slider - 50) % of the box width"},
        uncovered_fill()}},
      {"Horizontal Pivot",
       "Turns the layer's content about a level axis: the top and bottom edges grow or shrink about their middles "
       "and slide up or down",
       {{"s1", "Top width", "%", 1, 100, 30,
         "Length of the top edge: slider x 2 % of the box width; 50 keeps it, 0 collapses it (fails)"},
        {"s2", "Bottom width", "%", 1, 100, 50,
         "Length of the bottom edge: slider x 2 % of the box width; 50 keeps it, 0 collapses it (fails)"},
        {"s3", "Top shift", "%", 0, 100, 60,
         "Slides the top edge down (above 50) or up by (slider - 50) % of the box height"},
        {"s4", "Bottom shift", "%", 0, 100, 50,
         "Slides the bottom edge down (above 50) or up by (slider - 50) % of the box height"},
        uncovered_fill()}},
      {"Skew",
       "Slants the layer's content: the top and bottom edges slide across, the left and right edges up or down",
       {{"s1", "Top shift", "%", 0, 100, 65,
         "Slides the top edge right (above 50) or left by (slider - 50) % of the box width; 50 leaves it"},
        {"s2", "Bottom shift", "%", 0, 100, 35,
         "Slides the bottom edge right (above 50) or left by (slider - 50) % of the box width; 50 leaves it"},
        {"s3", "Left shift", "%", 0, 100, 50,
         "Slides the left edge down (above 50) or up by (slider - 50) % of the box height; 50 leaves it"},
        {"s4", "Right shift", "%", 0, 100, 50,
         "Slides the right edge down (above 50) or up by (slider - 50) % of the box height; 50 leaves it"},
        uncovered_fill()}},

      // ---- Transforms about a centre ----
      {"Pinch",
       "Draws the picture in towards a centre, or bulges it out, within a circle",
       {{"s1", "Amount", "", 0, 100, 75,
         "(slider - 50) / 50: above 50 pinches in, below bulges out; 50 leaves the picture"},
        {"s2", "Radius", "%", 0, 100, 50, "Radius of the circle: slider % of the shorter side; 0 leaves the picture"},
        centre_x("s3"), centre_y("s4"), uncovered_fill()}},
      {"Ripple",
       "Rings of water round a centre: the picture moves in and out, or round, along circular waves",
       {{"s1", "Amplitude", "%", 0, 100, 3, "How far pixels move: slider % of the shorter side; 0 leaves the picture"},
        {"s2", "Wavelength", "%", 0, 100, 10, "Distance between rings: slider % of the shorter side (at least 1 px)"},
        centre_x("s3"), centre_y("s4"),
        {"s5", "Phase", "degrees", 0, 100, 50, "Where the waves start: trunc(slider x 3.6 - 180) degrees"},
        {"option", "Mode", "", 0, 1, 0, "0 the rings move in and out; 1 they turn along the ring instead"},
        uncovered_fill()}},
      {"Spin",
       "A swirl: the picture turns about a centre, most at the centre and easing to nothing at the radius",
       {{"s1", "Angle", "degrees", 0, 100, 75,
         "Turn at the centre: trunc(slider x 3.6 - 180) degrees, counter-clockwise above 50; 50 leaves the picture"},
        {"s2", "Radius", "%", 0, 100, 50, "Reach of the swirl: slider % of the shorter side; 0 leaves the picture"},
        centre_x("s3"), centre_y("s4"), uncovered_fill()}},
      {"Spin Wave",
       "Rings round a centre that turn back and forth, fading out at the radius",
       {{"s1", "Angle", "degrees", 0, 100, 60,
         "Greatest turn: trunc(slider x 3.6 - 180) degrees; 50 leaves the picture"},
        {"s2", "Wavelength", "%", 0, 100, 10,
         "Width of one turning ring and back: slider % of the shorter side (at least 1 px)"},
        centre_x("s3"), centre_y("s4"),
        {"s5", "Radius", "%", 0, 100, 50, "Reach of the rings: slider % of the shorter side; 0 leaves the picture"},
        uncovered_fill()}},
      {"Wave",
       "Sine waves across the picture: columns move up and down, rows sideways, or both",
       {{"s1", "Amplitude", "%", 0, 100, 3, "How far pixels move: slider % of the shorter side; 0 leaves the picture"},
        {"s2", "Wavelength", "%", 0, 100, 20, "Length of a wave: slider % of the shorter side (at least 1 px)"},
        {"option", "Direction", "", 0, 2, 2, "0 columns move up and down, 1 rows move sideways, 2 (or more) both"},
        uncovered_fill()}},
      {"Wow",
       "A flower-shaped wobble: the picture swells and shrinks round its middle a number of times round the circle",
       {{"s1", "Amount", "%", 0, 100, 20,
         "How far the distance from the middle swells and shrinks: slider / 2 % of it; 0 leaves the picture"},
        {"option", "Petals", "", 0, 64, 6, "Number of swellings round the circle; 0 or below gives 5"},
        uncovered_fill()}},
      {"Zig Zag",
       "Triangle waves: rows move sideways, columns up and down, or rings round the middle in and out",
       {{"s1", "Amplitude", "%", 0, 100, 3, "How far pixels move: slider % of the shorter side; 0 leaves the picture"},
        {"s2", "Wavelength", "%", 0, 100, 15, "Length of a zig and zag: slider % of the shorter side (at least 1 px)"},
        {"option", "Style", "", 0, 2, 2,
         "0 rows move sideways, 1 columns up and down, 2 (or more) rings round the middle"},
        uncovered_fill()}},

      // ---- Image-script distortions; alpha moves with the colour ----
      {"Twirl",
       "Turns the middle of the picture about its centre, the turn dying away towards the rim",
       {{"s1", "Angle", "degrees", 0, 100, 70,
         "Turn at the centre: trunc(slider x 7.2 - 360) degrees, counter-clockwise above 50; 50 leaves the picture"},
        {"s2", "Radius", "%", 0, 100, 80, "Reach: trunc(slider) % of half the diagonal; below 1 counts as 1"},
        {"s3", "Falloff", "", 0, 100, 50,
         "How the turn fades: exponent trunc(slider) / 50 (below 1 counts as 1); 50 fades evenly, lower turns the "
         "whole disc, higher only the centre"},
        wrap_flag("f1")}},
      {"Sine Distortion",
       "Sine waves swing the picture sideways and up and down, each with its own number of waves and phase",
       {{"s1", "Swing X", "%", 0, 100, 3,
         "Sideways swing: slider % of the width in whole pixels; with Swing Y at 0 too it leaves the picture"},
        {"s2", "Swing Y", "%", 0, 100, 3, "Up-and-down swing: slider % of the height in whole pixels"},
        {"s3", "Waves down", "", 0, 100, 15,
         "Waves of the sideways swing down the picture: trunc(slider / 3); below 3 there is no sideways swing"},
        {"s4", "Waves across", "", 0, 100, 15,
         "Waves of the up-and-down swing across the picture: trunc(slider / 3); below 3 there is none"},
        {"s5", "Phase X", "%", 0, 100, 0, "Shifts the up-and-down swing's waves along by slider % of the width"},
        {"s6", "Phase Y", "%", 0, 100, 0, "Shifts the sideways swing's waves down by slider % of the height"},
        wrap_flag("f1")}},
      {"Kaleidoscope",
       "Mirrors or repeats one wedge of the picture round a centre, like a kaleidoscope",
       {{"s1", "Centre X", "%", 0, 100, 50, "Centre across: slider % of the width"},
        {"s2", "Centre Y", "%", 0, 100, 50, "Centre down: slider % of the height"},
        {"s3", "Segments", "", 0, 100, 18, "Number of segments: trunc(slider / 3); below 3 leaves the picture"},
        {"option", "Kind", "", 0, 1, 0, "0 mirrors neighbouring wedges, 1 (or any other) repeats one wedge"}}},

      // ---- Mask builders; the layer is unchanged ----
      {"Mask Generate HSL",
       "Selects by colour: pixels of the IPL source picture near a key hue, saturation and lightness are "
       "protected (or opened) in the mask",
       {{"s1", "Hue", "degrees", 0, 100, 57, "Key hue: slider x 3.6 degrees (0 red, 33 green, 67 blue)"},
        {"s2", "Hue tolerance", "degrees", 0, 100, 10,
         "Hue difference accepted: slider x 1.8 degrees either way; 100 accepts every hue"},
        {"s3", "Saturation", "%", 0, 100, 70, "Key saturation: slider %"},
        {"s4", "Saturation tolerance", "%", 0, 100, 40, "Saturation difference accepted: slider % either way"},
        {"s5", "Lightness", "%", 0, 100, 60, "Key lightness: slider %"},
        {"s6", "Lightness tolerance", "%", 0, 100, 30, "Lightness difference accepted: slider % either way"},
        {"option", "Mode", "", 0, 1, 0, "0 protects the matching pixels; 1 (or any other) opens them"},
        start_open("f1")}},
      {"Mask Detail",
       "Protects fine detail in the mask: pixels that stand out from both neighbours above and below, or both "
       "left and right",
       {{"s1", "Threshold", "%", 0, 100, 5,
         "Difference from both neighbours a channel needs: slider % of 255 levels; lower marks more detail"},
        {"s2", "Strength", "%", 0, 100, 100,
         "How fully detail pixels are protected: slider %; 0 opens them instead"},
        start_open("f1")}},

      // ---- Tiles and image-script bends ----
      {"Patternizer",
       "Cuts a square tile from the layer, turns and bends it as asked, and repeats it opaque over the whole layer",
       {{"s1", "Tile size", "%", 0, 100, 25, "Side of the cut square: slider % of the shorter side (at least 2 px)"},
        {"s2", "Cut X", "%", 0, 100, 50, "Centre of the cut across: slider % of the width, kept inside the picture"},
        {"s3", "Cut Y", "%", 0, 100, 50, "Centre of the cut down: slider % of the height, kept inside the picture"},
        {"s4", "Turn", "degrees", 0, 100, 0,
         "Turns the tile counter-clockwise by trunc(slider x 3.6) degrees before bending; 0 and 100 leave it"},
        {"s5", "Bend", "%", 0, 100, 50, "Strength of the chosen bends: slider %"},
        {"s6", "Repeat size", "%", 5, 100, 50,
         "Size the tile is repeated at: trunc(slider x 2) % of the cut; 50 keeps it, near 0 it shrinks to a dot"},
        {"i1", "Bends", "", 0, 31, 4,
         "Sum of: 1 waves, 2 sine distortion, 4 twirl, 8 tilt, 16 kaleidoscope; 0 repeats the tile unbent"},
        {"f1", "Mirror", "", 0, 1, 0, "1 mirrors every other tile so that neighbours meet along matching edges"}}},
      {"Scratch",
       "Scratches the layer: straight strokes drag the colour of their first pixel along, fading out towards "
       "their end",
       {{"s1", "Count", "", 0, 100, 100, "Number of scratches: trunc(slider); 0 leaves the picture"},
        {"s2", "Length", "px", 0, 100, 30, "Longest scratch: trunc(slider x 4) px, each 50 to 100 % of it"},
        {"s3", "Angle", "degrees", 0, 100, 12,
         "Direction: trunc(slider x 3.6) degrees counter-clockwise from the right, each within 3 degrees of it"},
        seed("i1"),
        {"f1", "Any angle", "", 0, 1, 0, "1 gives every scratch a random direction (Angle is not used)"},
        {"f2", "Wide", "", 0, 1, 1, "1 draws the scratches two pixels wide"}}},
      {"Waves",
       "Ripples the picture: straight waves swing pixels to and fro along their crests, or rings about the middle "
       "push them in and out",
       {{"s1", "Wavelength", "px", 0, 100, 4, "Distance between crests: trunc(slider x 10) px (at least 2)"},
        {"s2", "Amplitude", "px", 0, 100, 12, "How far pixels swing: trunc(slider x 5) / 10 px; 0 leaves the picture"},
        {"s3", "Direction", "degrees", 0, 100, 12,
         "Direction the waves run: trunc(slider x 3.6) degrees counter-clockwise from the right; not used for rings"},
        {"f1", "Rings", "", 0, 1, 0, "1 makes rings round the middle instead of straight waves"}}},
      {"Divider",
       "Divides the picture into a grid of cells, each showing the whole picture made smaller",
       {{"s1", "Columns", "", 0, 100, 3, "Number of columns: trunc(slider); 0 and 1 give one"},
        {"s2", "Rows", "", 0, 100, 3, "Number of rows: trunc(slider); 0 and 1 give one"}}},
      {"Carpet",
       "Folds the picture's top-left corner back and forth in strips, mirrored tile by tile like a woven carpet",
       {{"s1", "Strip width", "px", 0, 100, 16,
         "Width of the strips: trunc(slider x 5) px; 0, or a strip as wide as the picture, leaves the columns"},
        {"s2", "Strip height", "px", 0, 100, 16,
         "Height of the strips: trunc(slider x 5) px; 0, or a strip as tall as the picture, leaves the rows"}}},
      {"Glass",
       "Shows the picture through rippled glass: smooth random bends, the same for the same seed",
       {{"s1", "Ripple size", "px", 0, 100, 12, "Size of the glass's ripples: slider px (at least 1)"},
        {"s2", "Strength", "px", 0, 100, 32, "How far the view bends: trunc(slider / 4) px; below 4 leaves it"},
        seed("i1")}},
      {"Voxel",
       "Breaks the picture into square blocks, each filled with the pixel at its centre",
       {{"s1", "Block size", "px", 0, 100, 6, "Side of the blocks: trunc(slider + 4) px, 4 to 104"}}},
      {"Zoom",
       "Magnifies or shrinks the picture about a chosen point; what shrinking uncovers is clear or repeated",
       {{"s1", "Magnification", "%", 0, 100, 15,
         "trunc(slider x 10 + 1) %: 9.9 keeps the size, lower shrinks, higher enlarges (100 gives 1001 %)"},
        {"s2", "Centre X", "%", 0, 100, 50, "The point that stays put, across: 0 left edge, 50 middle, 100 right edge"},
        {"s3", "Centre Y", "%", 0, 100, 50, "The point that stays put, down: 0 top edge, 50 middle, 100 bottom edge"},
        {"f1", "Repeat", "", 0, 1, 0, "1 repeats the picture where shrinking uncovers the canvas; 0 leaves it clear"}}},
      {"Rotate",
       "Turns the picture about its middle and scales it; the corners it uncovers become clear",
       {{"s1", "Angle", "degrees", 0, 100, 55,
         "trunc(slider x 7.2 - 360) degrees, counter-clockwise above 50; 50 leaves the picture, 0 and 100 turn it "
         "once round"},
        {"s2", "Scale", "%", 1, 100, 10, "Size: trunc(slider x 10) %; 10 keeps it, 0 fails"}}},
      {"Horizontal Flip", "Mirrors the layer left to right", {}},
      {"Vertical Flip", "Mirrors the layer top to bottom", {}},
      {"Tilt",
       "Tips the picture back in perspective about its middle lines, the far side shrinking; the uncovered canvas "
       "becomes clear",
       {{"s1", "Tilt top", "%", 0, 100, 70,
         "Tip about the level middle line, (slider - 50) x 2 % of the strongest: above 50 the top leans away, "
         "below the bottom"},
        {"s2", "Tilt side", "%", 0, 100, 50,
         "Tip about the upright middle line, (slider - 50) x 2 % of the strongest: above 50 the left side leans "
         "away, below the right"}}},
      {"Seamless",
       "Blends a band along each edge with the pixels half a picture away, so that the picture tiles without seams",
       {{"s1", "Band", "px", 0, 100, 15,
         "Width of the blended band: trunc(slider x 3) px, at most half the picture; 0 leaves it"}}},

      // ---- Noise removal ----
      {"Noise Reduction",
       "Smooths noise: sweeps across the picture pull neighbouring pixels of like brightness towards each other, "
       "keeping edges",
       {{"s1", "Strength", "%", 0, 100, 60,
         "How far a neighbour moves towards the pixel: slider / 2 %; 0 leaves the picture"},
        {"s2", "Threshold", "%", 0, 100, 10,
         "Brightness difference below which pixels are smoothed: slider % of 255 levels; 0 leaves the picture"}}},
      {"Noise Reduction RGB",
       "Smooths noise in red, green and blue separately, each with its own strength and threshold, keeping edges",
       {{"s1", "Red strength", "%", 0, 100, 60, "How far red moves towards the neighbour's: slider / 2 %; 0 leaves it"},
        {"s2", "Red threshold", "%", 0, 100, 10,
         "Red difference below which it is smoothed: slider % of 255 levels; 0 leaves red"},
        {"s3", "Green strength", "%", 0, 100, 60,
         "How far green moves towards the neighbour's: slider / 2 %; 0 leaves it"},
        {"s4", "Green threshold", "%", 0, 100, 10,
         "Green difference below which it is smoothed: slider % of 255 levels; 0 leaves green"},
        {"s5", "Blue strength", "%", 0, 100, 60,
         "How far blue moves towards the neighbour's: slider / 2 %; 0 leaves it"},
        {"s6", "Blue threshold", "%", 0, 100, 10,
         "Blue difference below which it is smoothed: slider % of 255 levels; 0 leaves blue"}}},
      {"Despeckle",
       "Removes lone dots: a channel value above or below all eight neighbours becomes the median of its 3 x 3 "
       "window",
       {}},
      {"Dust and Scratches",
       "Removes small defects: values that stand out from their neighbourhood's median move towards it",
       {{"s1", "Radius", "px", 0, 100, 20, "Radius of the neighbourhood: 1 + trunc(slider / 10) px"},
        {"s2", "Threshold", "levels", 0, 100, 4,
         "Difference from the median that counts as a defect: trunc(slider x 2.55) levels; lower changes more"},
        {"s3", "Amount", "%", 0, 100, 100, "How far defects move towards the median: slider %; 0 leaves the picture"}}},

      // ---- Noise added ----
      add_noise("Add Gaussian Noise", "Adds grain of normal (Gaussian) spread to the layer, a new draw each call",
                "Standard deviation of the noise: slider levels; 0 leaves the picture"),
      add_noise("Add Negative Exponential Noise",
                "Adds grain that is mostly faint with now and then a strong speck, a new draw each call",
                "Mean size of the noise: slider levels; 0 leaves the picture"),
      add_noise("Add Rayleigh Noise", "Adds grain of Rayleigh spread, seldom near nothing, a new draw each call",
                "Scale of the noise: slider levels; 0 leaves the picture"),
      add_noise("Add Uniform Noise", "Adds grain spread evenly within a range, a new draw each call",
                "Noise lies evenly within +- slider levels; 0 leaves the picture"),

      // ---- Glows, screens and generated noise ----
      {"Radiant",
       "A soft glow: a blurred copy of the layer laid over it in Overlay mode",
       {{"s1", "Blur", "px", 0, 100, 20, "Softness of the glow: Gaussian sigma slider x 0.4 + 0.6 px"},
        {"s2", "Opacity", "%", 0, 100, 60, "Strength of the glow: trunc(slider x 2.5) of 255; 0 leaves the picture"}}},
      {"Radiant 2",
       "A glowing, evened look: the layer's contrast-masked copy, inverted, laid over it in Texturize mode",
       {{"s1", "Opacity", "%", 0, 100, 60, "Strength: slider % opacity; 0 leaves the picture"}}},
      {"Halftone",
       "Prints the picture as a halftone screen: dots of ink on white paper, larger where the picture is darker",
       {{"s1", "Cell", "px", 0, 100, 12, "Dot spacing: trunc(slider / 2) px, at least 1"},
        {"f1", "Colour", "", 0, 1, 0, "1 screens red, green and blue each with its own dots; 0 black dots"}}},
      {"Mosaic",
       "Breaks the picture into square tiles, each of its own average colour",
       {{"s1", "Tile size", "px", 0, 100, 16, "Side of the tiles: trunc(slider / 2) px; below 4 leaves the picture"}}},
      {"Color Noise",
       "Mixes random noise into the colour: shades of a chosen colour or random colours, a new draw each call",
       {{"s1", "Amount", "%", 0, 100, 30, "How much of the colour the noise replaces: slider %; 0 leaves the picture"},
        {"option", "Kind", "", 0, 1, 1, "0 shades from black up to the colour, 1 (or any other) random colours"},
        {"colour", "Colour", "", 0, 255, 255, "The colour whose shades option 0 draws"}}},
      {"Hugo Noise",
       "Replaces the colour with grey turbulence (veins and billows), a new pattern each call; alpha is kept",
       {{"s1", "Size", "px", 0, 100, 20, "Size of the largest features: 4 + slider x 2 px"},
        {"s2", "Roughness", "", 0, 100, 50, "Weight of each finer octave against the last: 0.3 + slider x 0.005"},
        {"s3", "Detail", "octaves", 0, 100, 60, "Number of octaves: 1 + trunc(slider x 0.07), 1 to 8"}}},
      {"Perlin Noise",
       "Replaces the colour with smooth grey clouds of five octaves, a new pattern each call; alpha is kept",
       {{"s1", "Size", "px", 0, 100, 25, "Size of the largest features: 4 + slider px"}}},
  };
  return docs;
}

}  // namespace cvl
