"""Writing the three catalogue files and the EPSG code index: a record count
line, then one record a line with ';' between fields, CR LF line ends, Windows-1252 text.

Text fields are written without quotes; the program strips leading and
trailing double quotes from a text field, so texts carry none.  Numeric fields
hold the shortest decimal that reads back as the same double, never in
exponent form, so that any plain decimal reader gets the value.
"""
import os
import re
import unicodedata
from decimal import Decimal

ENCODING = 'cp1252'
# Letters outside Windows-1252 that have no decomposition to a base letter.
UNDECOMPOSABLE = {'Ł': 'L', 'ł': 'l', 'Đ': 'D', 'đ': 'd', 'Ħ': 'H', 'ħ': 'h', 'ı': 'i'}
NAME_WIDTH = 64
AREA_WIDTH = 1024


def number(x):
    """Shortest round-trip decimal text of a double, positional notation."""
    x = float(x)
    if x != x or x in (float('inf'), float('-inf')):
        raise ValueError('not a finite number: %r' % x)
    if x == 0:
        return '0'
    text = format(Decimal(repr(x)), 'f')
    return text[:-2] if text.endswith('.0') else text


def text(value):
    """A text that survives the file format: no separator, no line break, no
    double quote, blanks trimmed, every character in Windows-1252."""
    t = value.replace('; ', ', ').replace(';', ',').replace('"', "'")
    t = re.sub(r'[\x00-\x1f\x7f]+', ' ', t)
    out = []
    for ch in t:
        try:
            ch.encode(ENCODING)
            out.append(ch)
        except UnicodeEncodeError:
            base = unicodedata.normalize('NFKD', UNDECOMPOSABLE.get(ch, ch))
            out.append(base.encode(ENCODING, 'ignore').decode(ENCODING) or '?')
    return ' '.join(''.join(out).split())


def shorten(value, limit, separators=r'(, | - | )'):
    """Cut a text to at most `limit` characters at a separator, marking the cut."""
    if len(value) <= limit:
        return value
    cut = value[:limit - 3]
    parts = re.split(separators, cut)
    if len(parts) > 2:
        cut = ''.join(parts[:-2])
    return cut.rstrip(' ,;-.') + '...'


def write(path, lines):
    """Write a catalogue file; every line is a list of already formatted fields."""
    with open(path, 'wb') as f:
        f.write(b'%d\r\n' % len(lines))
        for fields in lines:
            for field in fields:
                if ';' in field or '\r' in field or '\n' in field:
                    raise ValueError('field %r cannot be written' % field)
            f.write(';'.join(fields).encode(ENCODING) + b'\r\n')


def write_all(out_dir, ellipsoid_lines, datum_lines, projection_lines):
    os.makedirs(out_dir, exist_ok=True)
    write(os.path.join(out_dir, 'ellips.txt'), ellipsoid_lines)
    write(os.path.join(out_dir, 'datums.txt'), datum_lines)
    write(os.path.join(out_dir, 'projct.txt'), projection_lines)
