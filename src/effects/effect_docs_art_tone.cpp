// Descriptions of the painting looks, the blurs and the tone and colour effects.
//
// Sliders are in the units a host shows (0..100); the effect call takes them in
// tenths. "slider x 2.55" is a value 0..255 (the code truncates slider x 2.559).
#include "effects/effect_docs.h"

namespace cvl {
namespace {

// Arguments several effects share: the contrast and saturation steps of the
// pencil and pop recipes, the direction of the pencil's relief, the mix of a
// blur over the picture and the radius of the box and surface blurs.
ArgDoc contrast(const char* arg, double def) {
  return {arg, "Contrast", "", 0, 100, def,
          "Strength of the contrast step: about 10 keeps greys, lower softens the extremes, higher pushes "
          "darks to black and lights to white"};
}
ArgDoc saturation(const char* arg, double def) {
  return {arg, "Saturation", "", 0, 100, def,
          "Colourfulness: 50 keeps it, 100 triples it, about 33 is grey, below that the colours turn to "
          "their complements"};
}
ArgDoc extra_contrast_pass() {
  return {"f1", "Extra contrast", "", 0, 1, 0,
          "1 first runs the contrast step at its lowest strength, which softens the extremes a little"};
}
ArgDoc relief_direction() {
  return {"option", "Relief direction", "", 0, 2, 0,
          "Which neighbour the relief compares with: 0 the one to the left, 1 the one above, 2 the one "
          "above-left"};
}
ArgDoc waxiness() {
  return {"s3", "Waxiness", "%", 0, 100, 60,
          "How much of itself a pixel keeps beside a different one: 100 smears nothing, lower values "
          "spread colours along rows and columns (0 floods them)"};
}
ArgDoc blur_strength() {
  return {"s2", "Strength", "%", 0, 100, 100, "How much of the blur is kept over the picture; 0 leaves the picture"};
}
ArgDoc fifth_radius(double def) {
  return {"s1", "Radius", "px", 0, 100, def, "Radius = trunc(slider / 5) px (0..20); below 5 nothing changes"};
}
ArgDoc surface_threshold(double def) {
  return {"s2", "Threshold", "levels", 0, 100, def,
          "Brightness range smoothed: sigma = slider x 0.34 levels (at least 0.14); 50 smooths steps up to "
          "about 17 levels and keeps steeper edges"};
}
// The output range of the histogram rows, bytes of s1 and s2.
std::vector<ArgDoc> output_range() {
  return {{"s1", "Output black", "%", 0, 100, 0,
           "The darkest value written: slider x 2.55; above Output white the tones come out inverted"},
          {"s2", "Output white", "%", 0, 100, 100,
           "The lightest value written: slider x 2.55; equal to Output black gives a flat picture"}};
}
// Hue and saturation of the HSL and HSV adjustments.
ArgDoc hue_turn() { return {"s1", "Hue", "degrees", 0, 100, 60, "Hue turn = slider x 3.6 - 180 degrees; 50 keeps"}; }
ArgDoc added_saturation() {
  return {"s2", "Saturation", "%", 0, 100, 65,
          "Added saturation = slider x 2 - 100 %: 50 keeps, 0 grey, 100 fully saturated"};
}

}  // namespace

const std::vector<EffectDoc>& effect_docs_art_tone() {
  static const std::vector<EffectDoc> docs = {
      // ---- Painting and drawing looks ------------------------------------------
      {"Charcoal",
       "A soft pencil or charcoal sketch in grey: the picture's dark outlines drawn on white",
       {{"s1", "Whiteness", "%", 0, 100, 100,
         "Share (slider %) a pixel keeps of itself as the paper's white spreads: 100 keeps every line, "
         "lower values whiten the drawing and thin its lines"},
        {"s2", "Line weight", "%", 0, 100, 30,
         "Share (slider %) a pixel keeps of itself as the strokes spread: 100 draws no lines (plain "
         "white), lower values draw wider, darker strokes"}}},
      {"Color Pencil",
       "Coloured pencil: a light relief on the picture's edges, contrast raised and colour set",
       {contrast("s1", 30),
        saturation("s2", 60),
        relief_direction()}},
      {"Color Pencil 2",
       "A grey pencil sketch: the picture's edges embossed, lit from straight above, and lightened by its negative",
       {{"s1", "Depth", "", 0, 100, 40,
         "Depth of the relief = slider x 2.55 + 1 (1..256): deeper draws the edges darker, 0 the faintest"}}},
      {"Crayon",
       "Waxy crayon: the coloured-pencil look with its colours smeared into each other",
       {contrast("s1", 30),
        saturation("s2", 60),
        waxiness(),
        relief_direction()}},
      {"Pointillism",
       "The crayon look sprinkled with grain, like paint laid down in dots",
       {contrast("s1", 30),
        saturation("s2", 60),
        waxiness(),
        {"s4", "Grain", "levels", 0, 100, 30,
         "Spread of the Gaussian grain: standard deviation = slider levels; 0 adds none"},
        {"f1", "Grey grain", "", 0, 1, 0, "1 adds the same grain to red, green and blue (grey dots); 0 colours it"},
        relief_direction()}},
      {"Oil Paint",
       "Oil paint: each pixel takes the colour most common around it, so areas flatten into strokes",
       {{"s1", "Brush size", "px", 0, 100, 40, "Brush radius = 2 + slider / 10 px (2..12)"},
        {"s2", "Levels", "levels", 0, 100, 10,
         "Brightness bins counted = slider x 2.55 (at least 1); fewer bins give broader, flatter strokes"},
        {"f1", "Round brush", "", 0, 1, 1, "1 uses a round brush; 0 a square one"},
        {"f2", "Per channel", "", 0, 1, 0,
         "1 takes the most common value of red, green and blue each; 0 the most common brightness"}}},
      {"Stipple",
       "The picture drawn as scattered single dots of ink, dense where it is dark",
       {{"s1", "Density", "", 0, 100, 50,
         "Dot density: 50 makes the dots as dark as the picture on average, 100 twice as dense; 0 leaves "
         "blank paper"},
        {"option", "Ink", "", 0, 2, 0,
         "0 black dots on white, 1 dots in the picture's own colour on white, 2 white dots on black "
         "(dense where the picture is light)"},
        {"i2", "Seed", "", 0, 2147483647, 1, "Seed of the dot pattern: the same seed gives the same dots"}}},
      {"Watercolor and Ink",
       "Wavy pen hatching laid over a popped, colourful picture; the strokes crowd where the picture is "
       "light, so its tones come out largely reversed",
       {contrast("s1", 30),
        saturation("s2", 65),
        {"s3", "Ink spread", "%", 0, 100, 20,
         "How far the ink bleeds into the paper: 0 keeps the strokes crisp, higher thickens them, 100 "
         "floods them"},
        extra_contrast_pass(),
        {"f2", "Cross-hatch", "", 0, 1, 1, "1 adds a second set of strokes across the first"}}},

      // ---- Blurs -------------------------------------------------------------------
      {"Blur",
       "Softens the picture by averaging each pixel with the square of pixels around it",
       {{"s1", "Size", "px", 0, 100, 10,
         "Width of the square: radius = trunc(slider) / 2 px, so about slider px across; below 2 "
         "nothing changes"}}},
      {"Blur More",
       "A smooth, nearly Gaussian blur (three box passes) mixed over the picture",
       {fifth_radius(25),
        blur_strength()}},
      {"Gaussian Blur",
       "A smooth Gaussian blur",
       {{"s1", "Radius", "px", 0, 100, 10,
         "Sigma = slider x 0.4 + 0.6 px; with f1, sigma = slider / 2000 of the canvas's longer side"},
        {"f1", "Relative", "", 0, 1, 0,
         "1 measures the blur against the canvas size (100 = 5% of its longer side); 0 in pixels"}}},
      {"Motion Blur",
       "Streaks every pixel along a straight line, as a moving camera would",
       {{"s1", "Length", "px", 0, 100, 30, "Streak length in pixels; below 1 nothing changes"},
        {"s2", "Angle", "degrees", 0, 100, 50,
         "Direction = slider x 3.6 - 180 degrees: 50 is level, 75 straight up"},
        {"s3", "Placement", "%", 0, 100, 50,
         "Where the streak lies: 0 trails behind the pixel, 50 is centred on it, 100 runs ahead"}}},
      {"Radial Blur",
       "Spins the picture about the canvas centre, blurring along circles",
       {{"s1", "Angle", "degrees", 0, 100, 20,
         "Spin spread = slider x 0.9 degrees (100 = a quarter turn); 0 leaves the picture"},
        blur_strength()}},
      {"Zoom Blur",
       "Streaks the picture toward and away from the canvas centre, as a zooming lens would",
       {{"s1", "Amount", "%", 0, 100, 20,
         "Zoom spread: samples are scaled about the centre from 1 + slider / 200 to 1 - slider / 200; 0 "
         "leaves the picture"},
        blur_strength()}},
      {"Anti Alias",
       "Smooths jagged steps along hard edges while leaving flat areas alone",
       {{"s1", "Dark side", "%", 0, 100, 20,
         "How much of itself the darker pixel of an edge keeps: 100 keeps it, lower blends it toward "
         "its lighter neighbour"},
        {"s2", "Light side", "%", 0, 100, 20,
         "How much of itself the lighter pixel of an edge keeps: 100 keeps it, lower blends it toward "
         "its darker neighbour"},
        {"s3", "Rise sensitivity", "%", 0, 100, 90,
         "Edges from light to dark are smoothed when they step by more than (100 - slider) x 2.55 "
         "levels; 0 smooths none"},
        {"s4", "Fall sensitivity", "%", 0, 100, 90,
         "Edges from dark to light are smoothed when they step by more than (100 - slider) x 2.55 "
         "levels; 0 smooths none"}}},
      {"Smart Blur",
       "Smooths areas of near-even tone and keeps the edges between them",
       {{"s1", "Strength", "%", 0, 100, 100,
         "How far each pixel is pulled toward a like neighbour: slider / 2 % per step; 0 leaves the "
         "picture"},
        {"s2", "Threshold", "levels", 0, 100, 10,
         "Only neighbours whose brightness differs by less than slider x 2.55 levels are smoothed; 0 "
         "smooths none"}}},
      {"Surface Blur",
       "Smooths each pixel with neighbours of like brightness, keeping edges sharp",
       {fifth_radius(50),
        surface_threshold(50)}},
      {"Noise Reduction 2",
       "Removes grain by smoothing each pixel with neighbours of like brightness, keeping edges",
       {fifth_radius(40),
        surface_threshold(60)}},
      {"Adaptive Blur",
       "Blurs only the pixels on edges, softening outlines and specks and leaving flat areas",
       {{"s1", "Sensitivity", "%", 0, 100, 70,
         "A pixel counts as an edge when a neighbour differs by more than (100 - slider) x 2.55 levels; 0 "
         "finds none"},
        {"s2", "Light pixels", "%", 0, 100, 100,
         "How far an edge pixel lighter than its neighbour moves to the mean of its four neighbours; 0 "
         "keeps it"},
        {"s3", "Dark pixels", "%", 0, 100, 100,
         "How far an edge pixel darker than its neighbour moves to the mean of its four neighbours; 0 "
         "keeps it"}}},
      {"Detail Blur",
       "Replaces pixels that stand out from their surroundings by the mean of their 3 x 3 block",
       {{"s1", "Threshold", "levels", 0, 100, 3,
         "Pixels whose brightness differs from their block's mean by more than slider x 2.55 levels are "
         "blurred; 100 blurs none, lower blurs more"}}},
      {"Value Blur",
       "Lets light and dark tones bleed into their neighbours along rows and columns: a watery smear",
       {{"s1", "Light spread", "%", 0, 100, 70,
         "How much of itself a pixel keeps beside a lighter one: 100 keeps it, lower spreads light "
         "further, 0 floods it along whole lines"},
        {"s2", "Dark spread", "%", 0, 100, 70,
         "How much of itself a pixel keeps beside a darker one: 100 keeps it, lower spreads dark further, "
         "0 floods it along whole lines"}}},

      // ---- Tone --------------------------------------------------------------------
      {"Brightness and Contrast",
       "Makes the picture lighter or darker and its contrast stronger or weaker",
       {{"s1", "Brightness", "levels", 0, 100, 55,
         "Shift = (slider - 50) x 5.1 levels: 50 keeps, 0 black, 100 white"},
        {"s2", "Contrast", "", 0, 100, 65,
         "50 keeps; below, the tones close in on mid grey (0 all grey); above, they spread (100 a hard "
         "threshold)"}}},
      {"Levels",
       "Sets the black and white points of the chosen channels and the range they are written to",
       {{"s1", "Input black", "%", 0, 100, 15, "Values at or below slider x 2.55 become black (the output's low end)"},
        {"s2", "Input white", "%", 0, 100, 85,
         "Values at or above slider x 2.55 become white; those between are stretched evenly"},
        {"s3", "Output black", "%", 0, 100, 0, "The darkest value written: slider x 2.55"},
        {"s4", "Output white", "%", 0, 100, 100,
         "The lightest value written: slider x 2.55; keep it above Output black (below, the ramp wraps "
         "and comes out nearly white)"},
        {"f1", "Red", "", 0, 1, 1, "1 applies the levels to red; with no channel flag nothing changes"},
        {"f2", "Green", "", 0, 1, 1, "1 applies the levels to green"},
        {"f3", "Blue", "", 0, 1, 1, "1 applies the levels to blue"},
        {"f4", "Alpha", "", 0, 1, 0, "1 applies the levels to the opacity as well"}}},
      {"Contrast Mask",
       "Opens the shadows and holds back the highlights with a blurred negative laid over in soft light",
       {{"s1", "Softness", "px", 0, 100, 50,
         "Blur of the mask: option 0, sigma = 2 + slider / 18 px; otherwise sigma = slider x 0.4 + 0.6 px"},
        {"f1", "Per channel", "", 0, 1, 0,
         "Option 0 only: 1 masks red, green and blue each by its own negative; 0 by the brightness"},
        {"option", "Method", "", 0, 1, 0,
         "0 changes the layer in place; 1 builds a grey negative and blends it over the layer in soft light"}}},
      {"Hyper Contrast",
       "Drives dark tones toward black and light tones toward white",
       {{"s1", "Strength", "", 0, 100, 30,
         "About 10 keeps greys, lower softens the extremes, higher pushes darks to black and lights to "
         "white (100 is nearly a hard threshold); colours always grow stronger"}}},
      {"Photo Pop",
       "Livens a photo: sharpens it, raises its contrast and sets its colourfulness",
       {contrast("s1", 25),
        saturation("s2", 65),
        extra_contrast_pass()}},
      {"Photo Detailer",
       "Opens shadows, pops contrast and colour, and deepens the picture's dark lines",
       {{"s1", "Mask softness", "px", 0, 100, 50,
         "Blur of the contrast mask: option 0, sigma = 2 + slider / 18 px; otherwise slider x 0.4 + 0.6 px"},
        contrast("s2", 25),
        saturation("s3", 60),
        {"s4", "Outline", "%", 0, 100, 30,
         "How far the dark lines are deepened and widened: 0 adds no outline, 100 the most"},
        {"option", "Mask method", "", 0, 1, 0,
         "0 applies the contrast mask in place; 1 blends a grey negative over the layer in soft light"}}},
      {"Gamma",
       "Lightens or darkens the mid tones, leaving black and white where they are",
       {{"s1", "Gamma", "", 0, 100, 70,
         "Gamma = slider / 50: 50 keeps the picture, above lightens the mid tones, below darkens them"}}},
      {"Histogram Equalize",
       "Spreads the picture's brightness evenly over the output range, bringing out hidden detail",
       output_range()},
      {"Histogram Stretch",
       "Stretches the picture's brightness so its darkest and lightest tones span the output range",
       output_range()},
      {"Histogram Equalize PHASED OUT",
       "Spreads each of red, green and blue evenly over the output range on its own; shifts colours",
       output_range()},
      {"Histogram Stretch PHASED OUT",
       "Stretches each of red, green and blue on its own to span the output range; shifts colours",
       output_range()},
      {"Brightness Histogram Stretch HSL",
       "Stretches the picture's lightness to span the output range, keeping hue and saturation",
       output_range()},

      // ---- Colour ------------------------------------------------------------------
      {"Colorize",
       "Recolours the picture in one hue, its brightness kept as the shading",
       {{"s1", "Hue", "degrees", 0, 100, 60, "Hue = slider x 3.6 degrees: 0 red, 33 green, 67 blue"},
        {"s2", "Saturation", "%", 0, 100, 50, "How colourful the hue is; 0 gives grey"},
        {"s3", "Lightness", "", 0, 100, 50, "50 keeps the brightness; lower darkens toward black, 100 white"}}},
      {"Adjust Color Balance",
       "Pushes the shadows, mid tones or highlights toward red, green or blue or their complements",
       {{"s1", "Cyan - Red", "levels", 0, 100, 70,
         "50 keeps; above pushes toward red, below toward cyan, by up to (slider - 50) x 2 levels at the "
         "chosen tones"},
        {"s2", "Magenta - Green", "levels", 0, 100, 50,
         "50 keeps; above pushes toward green, below toward magenta"},
        {"s3", "Yellow - Blue", "levels", 0, 100, 35,
         "50 keeps; above pushes toward blue, below toward yellow"},
        {"s4", "Tones", "%", 0, 100, 50,
         "The tones most affected: 0 shadows, 50 mid tones, 100 highlights (the push fades to 0 two thirds "
         "of the range away)"},
        {"f3", "Keep lightness", "", 0, 1, 0, "1 restores each pixel's lightness after the push"}}},
      {"Adjust HSL",
       "Turns the hues and changes the saturation and lightness (in the HSL model)",
       {hue_turn(),
        added_saturation(),
        {"s3", "Lightness", "%", 0, 100, 50,
         "Added lightness = slider x 2 - 100 %: 50 keeps, 0 black, 100 white"}}},
      {"Adjust HSV",
       "Turns the hues and changes the saturation and brightness (in the HSV model)",
       {hue_turn(),
        added_saturation(),
        {"s3", "Value", "%", 0, 100, 50,
         "Added value = slider x 2 - 100 %: 50 keeps, 0 black, 100 the brightest of each colour"}}},
      {"Adjust Lab",
       "Shifts the picture's lightness and its red-green and yellow-blue balance (in the Lab model)",
       {{"s1", "Lightness", "", 0, 100, 55, "L shift = (slider - 50) x 2 (L runs 0..100); 50 keeps"},
        {"s2", "Green - Red", "", 0, 100, 60, "a shift = (slider - 50) x 2: above toward red, below toward green"},
        {"s3", "Blue - Yellow", "", 0, 100, 40,
         "b shift = (slider - 50) x 2: above toward yellow, below toward blue"}}},
      {"Channel",
       "Keeps one colour channel: pure red, green or blue, as opaque as the channel was bright",
       {{"f1", "Red", "", 0, 1, 1,
         "1 keeps red; with no flag nothing changes, with two or more the result is transparent"},
        {"f2", "Green", "", 0, 1, 0, "1 keeps green"},
        {"f3", "Blue", "", 0, 1, 0, "1 keeps blue"}}},
      {"Fader",
       "Fades the saturation, lightness or opacity across the picture from side to side and top to bottom",
       {{"s1", "Top", "%", 0, 100, 50,
         "Factor at the top edge = slider / 50 (50 keeps, 0 fades out, 100 doubles); multiplied by the "
         "left-right factor"},
        {"s2", "Bottom", "%", 0, 100, 50, "Factor at the bottom edge = slider / 50, in a straight ramp from the top"},
        {"s3", "Left", "%", 0, 100, 50, "Factor at the left edge = slider / 50"},
        {"s4", "Right", "%", 0, 100, 0, "Factor at the right edge = slider / 50, in a straight ramp from the left"},
        {"f1", "Layer extent", "", 0, 1, 0,
         "1 ramps across the layer's painted area; 0 across the whole canvas"},
        {"f2", "Saturation", "", 0, 1, 0, "1 scales the saturation by the factor"},
        {"f3", "Lightness", "", 0, 1, 1,
         "1 scales the lightness by the factor; with none of f2..f4 nothing changes"},
        {"f4", "Opacity", "", 0, 1, 0, "1 scales the opacity by the factor"}}},
      {"Duotone",
       "Prints the picture's grey in one coloured ink, like a sepia or blue-tone print",
       {{"s1", "Hue", "degrees", 0, 100, 8, "Ink hue = slider x 3.6 degrees: 8 is sepia brown, 60 blue"},
        {"s2", "Saturation", "%", 0, 100, 40, "How colourful the ink is; 0 gives grey"},
        {"s3", "Strength", "%", 0, 100, 100, "How much of the duotone is mixed over the picture; 0 leaves it"}}},
      {"Grayscale", "Turns the picture grey by its brightness", {}},
      {"Hyper Saturation",
       "Makes the colours stronger",
       {{"s1", "Amount", "", 0, 100, 40, "Saturation factor = 1 + slider / 50 (1..3); 0 leaves the picture"}}},
      {"Negative", "Inverts the colours, like a film negative; opacity is kept", {}},
      {"Posterize", "Cuts each colour channel to four flat bands, like a poster print", {}},
      {"Solarize", "Inverts every channel value from mid-grey up, like film exposed to light while developed", {}},
      {"Basic Threshold",
       "Turns the picture into black and white at a brightness level",
       {{"s1", "Level", "%", 0, 100, 50,
         "Pixels with brightness at or above slider x 2.55 become white, the rest black"}}},
      {"Threshold",
       "Sends dark values to black and light values to white, keeping those between",
       {{"s1", "Low", "%", 0, 100, 40,
         "Values of every channel, opacity too, below slider x 2.55 (of the lower slider) become 0"},
        {"s2", "High", "%", 0, 100, 60,
         "Values above slider x 2.55 (of the higher slider) become 255; equal sliders give a plain "
         "two-level threshold"}}},
      {"Line Art Cleaner",
       "Turns scanned line art into clean black and white and removes lone specks",
       {{"s1", "Level", "%", 0, 100, 50,
         "Pixels with brightness at or above slider x 2.55 become white, the rest black"},
        {"s2", "Speck size", "%", 0, 100, 70,
         "A black pixel is cleared when its 3 x 3 block's mean is more than slider x 2.55 levels lighter: "
         "80 clears lone dots, 70 also pairs, 100 clears nothing"}}},
      {"Clamp",
       "Replaces values below a low level and above a high level in the chosen channels",
       {{"s1", "Low", "%", 0, 100, 30, "Values below slider x 2.55 are replaced by Low to"},
        {"s2", "Low to", "%", 0, 100, 0, "What low values become: slider x 2.55"},
        {"s3", "High", "%", 0, 100, 70, "Values above slider x 2.55 are replaced by High to"},
        {"s4", "High to", "%", 0, 100, 100, "What high values become: slider x 2.55"},
        {"f1", "Red", "", 0, 1, 1, "1 clamps red; with no channel flag nothing changes"},
        {"f2", "Green", "", 0, 1, 1, "1 clamps green"},
        {"f3", "Blue", "", 0, 1, 1, "1 clamps blue"},
        {"f4", "Alpha", "", 0, 1, 0, "1 clamps the opacity as well"}}},
      {"Tint",
       "Turns every colour around the grey axis, shifting the hues and keeping greys",
       {{"s1", "Angle", "degrees", 0, 100, 60,
         "Turn = slider x 3.6 - 180 degrees: 50 keeps, above turns red toward green, below red toward blue"}}},
      {"Watercolor Tint",
       "The picture as a light, soft wash of transparent paint",
       {{"s1", "Amount", "%", 0, 100, 80, "How much of the wash is mixed over the picture; 0 leaves it"},
        {"f1", "Dark edges", "", 0, 1, 1, "1 pools pigment where the wash changes, darkening the borders"},
        {"f2", "Paper grain", "", 0, 1, 0, "1 lets a fixed paper grain show through"}}},
  };
  return docs;
}

}  // namespace cvl
