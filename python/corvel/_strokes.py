"""Where the dabs of a stroke go.

Dabs lie along the polyline a spacing apart, the gap following the pressure-scaled dab
size. Only the part of each segment within the canvas grown by the brush can touch a
pixel, so every segment is cut to that box first: a stroke through far-away points costs
no more dabs than one across the canvas, whatever its coordinates.
"""
from __future__ import annotations

import math
from typing import List, Optional, Sequence, Tuple

Point = Tuple[float, float]
Box = Tuple[float, float, float, float]  # left, top, right, bottom
Dab = Tuple[float, float, float]  # x, y, scale of the brush


def pressure_scale(p: float) -> float:
    return min(1.0, max(0.05, p))


def clip(a: Point, b: Point, box: Box) -> Optional[Tuple[float, float]]:
    """The stretch [t0, t1] of the segment a + t (b - a), 0 <= t <= 1, inside the box, or None."""
    t0, t1 = 0.0, 1.0
    # Halved, so that no difference of two finite coordinates overflows; only ratios are used.
    (ax, ay), (bx, by) = (a[0] / 2, a[1] / 2), (b[0] / 2, b[1] / 2)
    left, top, right, bottom = (v / 2 for v in box)
    for p, q in ((ax - left, bx - ax), (right - ax, ax - bx), (ay - top, by - ay), (bottom - ay, ay - by)):
        # p is how far a lies inside this edge, q how fast the segment moves inwards.
        if q == 0:
            if p < 0:
                return None
        elif q > 0:
            t0 = max(t0, -p / q)
        else:
            t1 = min(t1, -p / q)
    return (t0, t1) if t0 <= t1 else None


def _lerp(u: float, v: float, t: float) -> float:
    return u * (1 - t) + v * t  # never overflows between finite ends


def dab_places(points: Sequence[Point], pressures: Sequence[float], size: int, spacing: float,
               box: Box) -> List[Dab]:
    """Dab centres and scales along the polyline, inside the box. Where the path comes
    back into the box after leaving it, the dabs start afresh at the edge."""
    out: List[Dab] = []
    if len(points) == 1:
        (x, y), p = points[0], pressures[0]
        return [(x, y, pressure_scale(p))] if clip((x, y), (x, y), box) else []
    since: Optional[float] = None  # path walked since the last dab; None before the first of a run
    for a, b, pa, pb in zip(points, points[1:], pressures, pressures[1:]):
        stretch = clip(a, b, box)
        if stretch is None:
            since = None
            continue
        t0, t1 = stretch
        ax, ay = _lerp(a[0], b[0], t0), _lerp(a[1], b[1], t0)
        bx, by = _lerp(a[0], b[0], t1), _lerp(a[1], b[1], t1)
        pa, pb = _lerp(pa, pb, t0), _lerp(pa, pb, t1)
        if since is None or t0 > 0:
            out.append((ax, ay, pressure_scale(pa)))
            since = 0.0
        length = math.hypot(bx - ax, by - ay)
        at = -since  # where the last dab lies, measured along this stretch
        while True:
            t = min(max(at, 0.0) / length, 1.0) if length > 0 else 1.0
            step = max(1.0, size * pressure_scale(_lerp(pa, pb, t)) * spacing)
            if at + step > length:
                since = length - at
                break
            at += step
            s = at / length
            out.append((_lerp(ax, bx, s), _lerp(ay, by, s), pressure_scale(_lerp(pa, pb, s))))
        if t1 < 1:
            since = None
    return out
