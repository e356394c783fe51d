"""The engine's mix modes by number and name: how a layer mixes into the picture and how
a brush mixes into the layer it paints. Both tables are read-only."""
from types import MappingProxyType

#: Layer mix modes by number; 20 is a number the engine gives no name, so no layer can take it.
LAYER_MODES = MappingProxyType({number: name for number, name in enumerate([
    "Normal", "Multiply", "Screen", "Darken", "Lighten", "Difference", "Negation", "Exclusion", "Overlay",
    "Hard Light", "Soft Light", "Dodge", "Burn", "Reflect", "Glow", "Add", "Subtract", "Texturize", "Texturize2",
    "Texturize3", "", "Alpha Filter", "Alpha Black Outline", "Alpha Outline Tint 1", "Alpha Outline Tint 2",
    "Alpha Invert", "Alpha Shader", "Alpha Shader Color", "Alpha Shader Texture2", "Alpha Highlight Texture2",
    "Alpha Smooth", "Alpha Smooth Lum", "Alpha Smooth Lum2", "Alpha Smooth Lum3", "Alpha Smooth Lum4",
    "Alpha Smooth Lum5", "Alpha Overlay Outline", "Alpha Highlight", "Layer Mask", "Luminance Alpha",
    "Luminance Alpha Invert",
]) if name})

#: Brush mix modes by number: 32 paints normally; 249..262 mix with the colour banks.
BRUSH_MODES = MappingProxyType({
    32: "normal", 33: "multiply", 34: "screen", 35: "darken", 36: "lighten", 37: "difference", 38: "negation",
    39: "exclusion", 40: "overlay", 41: "hard light", 42: "soft light", 43: "colour dodge", 44: "colour burn",
    45: "reflect", 46: "glow", 47: "add", 48: "subtract", 249: "two banks by lightness", 250: "three banks",
    251: "four banks", 252: "bank gradient", 253: "bank 0 in the dark, random", 254: "bank 0 in the light, random",
    255: "banks 0 and 1 at the ends", 256: "paint over light", 257: "paint over dark", 258: "paint over mid-tones",
    259: "bank 0 in deep shadow", 260: "bank 0 in highlights", 261: "posterise 4", 262: "posterise 3",
    295: "bit shift", 340: "grey by lightness",
})
