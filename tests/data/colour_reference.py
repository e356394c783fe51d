"""Reference colour conversions for the colour-model tests.

Written independently of the engine: HSV and HSL come from Python's colorsys,
XYZ and L*a*b* from the textbook sRGB / CIE formulas (D65 white). Each output
line is a kind followed by its inputs and the reference results, floats in
repr form. Results that go back to bytes are printed on the 0..1 scale; the
test applies the engine's "times 255, truncate" rule with a small allowance
for values that sit on an integer boundary.
"""
import colorsys
import itertools

LEVELS = [0, 1, 17, 51, 64, 100, 127, 128, 170, 200, 254, 255]
WHITE = (95.047, 100.0, 108.883)


def srgb_to_linear(c):
    return ((c + 0.055) / 1.055) ** 2.4 if c > 0.04045 else c / 12.92


def linear_to_srgb(v):
    return 1.055 * v ** (1 / 2.4) - 0.055 if v > 0.0031308 else 12.92 * v


def rgb_to_xyz(r, g, b):
    lr, lg, lb = (100 * srgb_to_linear(c / 255) for c in (r, g, b))
    x = 0.4124 * lr + 0.3576 * lg + 0.1805 * lb
    y = 0.2126 * lr + 0.7152 * lg + 0.0722 * lb
    z = 0.0193 * lr + 0.1192 * lg + 0.9505 * lb
    return tuple(max(0.0, c) for c in (x, y, z))


def xyz_to_srgb_unit(x, y, z):
    x, y, z = x / 100, y / 100, z / 100
    r = 3.2406 * x - 1.5372 * y - 0.4986 * z
    g = -0.9689 * x + 1.8758 * y + 0.0415 * z
    b = 0.0557 * x - 0.2040 * y + 1.0570 * z
    return tuple(linear_to_srgb(c) for c in (r, g, b))


def xyz_to_lab(x, y, z):
    def f(t):
        return t ** (1 / 3) if t > 0.008856 else 7.787 * t + 16 / 116
    fx, fy, fz = f(x / WHITE[0]), f(y / WHITE[1]), f(z / WHITE[2])
    return 116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)


def lab_to_xyz(l, a, b):
    fy = (l + 16) / 116
    fx, fz = fy + a / 500, fy - b / 200

    def g(f):
        return f ** 3 if f ** 3 > 0.008856 else (f - 16 / 116) / 7.787
    return tuple(max(0.0, g(f) * w) for f, w in zip((fx, fy, fz), WHITE))


def emit(kind, *values):
    print(kind, " ".join(repr(float(v)) for v in values))


for r, g, b in itertools.product(LEVELS, repeat=3):
    h, s, v = colorsys.rgb_to_hsv(r / 255, g / 255, b / 255)
    emit("rgb_hsv", r, g, b, h * 360, s, v)
    h, l, s = colorsys.rgb_to_hls(r / 255, g / 255, b / 255)
    emit("rgb_hsl", r, g, b, h * 360, s, l)
    x, y, z = rgb_to_xyz(r, g, b)
    emit("rgb_xyz", r, g, b, x, y, z)
    emit("xyz_lab", x, y, z, *xyz_to_lab(x, y, z))
    c, m, ye = 1 - r / 255, 1 - g / 255, 1 - b / 255
    k = min(1.0, c, m, ye)
    cmyk = (0.0, 0.0, 0.0) if k == 1 else tuple((t - k) / (1 - k) for t in (c, m, ye))
    emit("cmy_cmyk", c, m, ye, *cmyk, k)

for h, s, v in itertools.product(range(0, 360, 15), [0, 0.25, 0.5, 0.75, 1], [0, 0.2, 0.5, 0.9, 1]):
    emit("hsv_rgb", h, s, v, *colorsys.hsv_to_rgb(h / 360, s, v))
    emit("hsl_rgb", h, s, v, *colorsys.hls_to_rgb(h / 360, v, s))

for c, m, y, k in itertools.product([0, 0.3, 1], repeat=4):
    emit("cmyk_rgb", c, m, y, k, *(1 - (k + (1 - k) * t) for t in (c, m, y)))

for x, y, z in itertools.product([0, 20, 50, 95.047, 130], [0, 30, 100], [0, 40, 108.883, 150]):
    emit("xyz_rgb", x, y, z, *xyz_to_srgb_unit(x, y, z))

for l, a, b in itertools.product([0, 5, 10, 50, 75, 100], [-100, -40, 0, 40, 100], [-100, -40, 0, 40, 100]):
    x, y, z = lab_to_xyz(l, a, b)
    emit("lab_xyz", l, a, b, x, y, z)
    emit("lab_rgb", l, a, b, *xyz_to_srgb_unit(x, y, z))
