#!/usr/bin/env python3
"""Writes the help document "Knowing your latitude and longitude.pdf" that the
Help button hands to the desktop's viewer: a few pages of plain text in a
hand-built PDF (standard Helvetica, no fonts embedded, no dependencies).

Run: python3 tools/help/make_help_pdf.py [OUTPUT]   (default: data/)
"""
import os
import sys
import textwrap

TITLE = "Knowing your latitude and longitude"

SECTIONS = [
    ("What Varnel does",
     "Varnel transforms a coordinate from one coordinate reference system (CRS) to another. "
     "A CRS is an ellipsoid, a geodetic datum (given by its shift to WGS 84) and, for grid "
     "coordinates, a map projection: Transverse Mercator, Lambert Conformal Conic with two "
     "standard parallels, or Oblique Stereographic. Choose the start CRS on the left and the "
     "target CRS on the right, type a point or name a list file, and press Transform."),
    ("Latitude and longitude",
     "Latitude is the angle north (positive) or south (negative) of the equator, from -90 to "
     "90 degrees. Longitude is the angle east (positive) or west (negative) of the Greenwich "
     "meridian, from -180 to 180 degrees. The same place has different latitudes and "
     "longitudes on different datums: between WGS 84 and a local datum they can differ by "
     "tens or hundreds of metres on the ground. Always know which datum your numbers are on."),
    ("Degrees, minutes and seconds",
     "With the angle format DDD.MMSSsss an angle is written as whole degrees, a point, then "
     "two digits of minutes, two of seconds and three of thousandths of a second. 12.3015250 "
     "means 12 degrees 30 minutes 15.250 seconds; it is not the decimal number 12.3015250. "
     "12.5 in this format means 12 degrees 50 minutes. Minutes and seconds above 60 are "
     "refused. With the format DDD.dddddd angles are plain decimal degrees: 12.5 means 12 "
     "degrees 30 minutes. Choose the format for each side with the Units and Formats buttons."),
    ("Heights",
     "The height is the ellipsoidal height in metres: the height above the ellipsoid of the "
     "datum, not the height above sea level that maps show. The two differ by the geoid "
     "undulation, which can reach about 100 metres. An empty height counts as 0."),
    ("Eastings and northings",
     "Grid coordinates are given in the length unit chosen for the side: metres, or one of "
     "the historic feet and yards. US survey feet are 1200/3937 metres; international feet "
     "0.3048 metres. A wrong unit moves a point by a factor, not by a few metres, so check it "
     "before you trust a result."),
    ("List files",
     "A list file holds one point per line: easting and northing for a grid start CRS, or "
     "latitude, longitude and height for a geographic one, separated by blanks, tabs, "
     "commas or semicolons. Empty lines and lines starting with # are copied to the output "
     "unchanged. The first line that cannot be read ends the run with a message; the lines "
     "before it are in the output."),
    ("How accurate is it",
     "The computations follow the published EPSG formulas and are exact to well below a "
     "millimetre. The datum shifts are another matter: a three- or seven-parameter shift "
     "between a local datum and WGS 84 is typically good to one to ten metres, sometimes "
     "worse. The catalogue shows the area each shift is meant for; use a shift outside its "
     "area and the error grows."),
]

PAGE_WIDTH, PAGE_HEIGHT = 595, 842  # A4 in points
MARGIN = 56
LINE = 14


def escape(text):
    return text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)")


def lines():
    """(font, size, text) lines of the document, None between paragraphs."""
    out = [("F2", 18, TITLE), None]
    for heading, body in SECTIONS:
        out.append(("F2", 12, heading))
        for line in textwrap.wrap(body, 88):
            out.append(("F1", 10.5, line))
        out.append(None)
    return out


def pages():
    """Page content streams, filled top to bottom."""
    result, ops, y = [], [], PAGE_HEIGHT - MARGIN
    for item in lines():
        if item is None:
            y -= LINE / 2
            continue
        font, size, text = item
        if y < MARGIN:
            result.append(ops)
            ops, y = [], PAGE_HEIGHT - MARGIN
        ops.append("BT /%s %s Tf %d %d Td (%s) Tj ET" % (font, size, MARGIN, y, escape(text)))
        y -= LINE + (6 if font == "F2" else 0)
    result.append(ops)
    return ["\n".join(p).encode("latin-1") for p in result]


def build():
    contents = pages()
    objects = []  # bodies; object n is objects[n - 1]
    objects.append(b"<< /Type /Catalog /Pages 2 0 R >>")
    page_ids = [5 + 2 * i for i in range(len(contents))]
    kids = " ".join("%d 0 R" % p for p in page_ids)
    objects.append(("<< /Type /Pages /Kids [%s] /Count %d >>" % (kids, len(contents))).encode())
    objects.append(b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>")
    objects.append(b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>")
    for i, stream in enumerate(contents):
        objects.append(("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 %d %d] "
                        "/Resources << /Font << /F1 3 0 R /F2 4 0 R >> >> /Contents %d 0 R >>"
                        % (PAGE_WIDTH, PAGE_HEIGHT, page_ids[i] + 1)).encode())
        objects.append(b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"\nendstream")
    out = bytearray(b"%PDF-1.4\n")
    offsets = []
    for number, body in enumerate(objects, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root 1 0 R /Info << /Title (%s) >> >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, escape(TITLE).encode(), xref)
    return bytes(out)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")
    path = os.path.join(folder, TITLE + ".pdf")
    with open(path, "wb") as f:
        f.write(build())
    print(path)


if __name__ == "__main__":
    main()
