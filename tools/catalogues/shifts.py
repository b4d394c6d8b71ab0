"""The program's datum shift formulas (geocentric translations, Helmert
position vector and coordinate frame), forward to WGS 84 and the program's
own reverse, used to measure how far a record's reverse shift falls from the
exact inverse."""
import math

EARTH_RADIUS = 6378137.0


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
    s, n, w, e = max(boxes, key=lambda b: (b[1] - b[0]) * (b[3] - b[2]))
    lat, lon = math.radians((s + n) / 2), math.radians((w + e) / 2)
    return [EARTH_RADIUS * math.cos(lat) * math.cos(lon),
            EARTH_RADIUS * math.cos(lat) * math.sin(lon),
            EARTH_RADIUS * math.sin(lat)]


def round_trip_error(rec):
    """Distance in metres between a point in the record's area and the point
    after the forward shift and the program's reverse shift."""
    t = [float(v) for v in rec['t']]
    r = [float(v) for v in rec['r']]
    ds = float(rec['ds'])
    p = area_centre(rec['boxes']) if rec['boxes'] else [EARTH_RADIUS, 0.0, 0.0]
    back = reverse(rec['method'], t, r, ds, forward(rec['method'], t, r, ds, p))
    return math.dist(p, back)
