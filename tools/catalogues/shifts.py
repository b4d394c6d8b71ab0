"""The program's datum shift formulas (geocentric translations, Helmert
position vector and coordinate frame), forward to WGS 84 and the program's
own reverse, used to measure how far a record's reverse shift falls from the
exact inverse."""
import math
from typing import NamedTuple

EARTH_RADIUS = 6378137.0


class Shift(NamedTuple):
    """A datum shift of one of the three methods, in that method's own sign
    convention: translations in metres, rotations in radians, the scale
    difference a pure number."""
    method: int
    t: list
    r: list
    ds: object

    @property
    def parameters(self):
        """The seven numbers in catalogue order: tX tY tZ, rX rY rZ, dS."""
        return list(self.t) + list(self.r) + [self.ds]


def forward(method, t, r, ds, p):
    x, y, z = p
    if method == 9603:
        return [x + t[0], y + t[1], z + t[2]]
    rx, ry, rz = (-v for v in r) if method == 9607 else r
    m = 1 + ds
    return [m * (x - rz * y + ry * z) + t[0],
            m * (y + rz * x - rx * z) + t[1],
            m * (z - ry * x + rx * y) + t[2]]


def reverse(method, t, r, ds, p):
    """The program's reverse: rotation products from the WGS 84 point,
    subtracted, divided by the scale, translation removed last."""
    x, y, z = p
    if method == 9603:
        return [x - t[0], y - t[1], z - t[2]]
    rx, ry, rz = (-v for v in r) if method == 9607 else r
    s = 1 / (1 + ds)
    return [s * (x - (z * ry - y * rz)) - t[0],
            s * (y - (x * rz - z * rx)) - t[1],
            s * (z - (y * rx - x * ry)) - t[2]]


def area_centre(boxes):
    """Geocentric point at the middle of the largest (south, north, west, east) box."""
    b = max(boxes, key=lambda b: (b.north - b.south) * (b.east - b.west))
    lat, lon = math.radians((b.south + b.north) / 2), math.radians((b.west + b.east) / 2)
    return [EARTH_RADIUS * math.cos(lat) * math.cos(lon),
            EARTH_RADIUS * math.cos(lat) * math.sin(lon),
            EARTH_RADIUS * math.sin(lat)]


def round_trip_error(shift, boxes):
    """Distance in metres between a point in the area of use (boxes) and the
    point after the forward shift and the program's reverse shift."""
    t = [float(v) for v in shift.t]
    r = [float(v) for v in shift.r]
    ds = float(shift.ds)
    p = area_centre(boxes) if boxes else [EARTH_RADIUS, 0.0, 0.0]
    back = reverse(shift.method, t, r, ds, forward(shift.method, t, r, ds, p))
    return math.dist(p, back)
