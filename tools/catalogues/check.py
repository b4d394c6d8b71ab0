#!/usr/bin/env python3
"""Check the committed catalogue files by the rules the program reads them
with, and against published parameters.

    python3 tools/catalogues/check.py [--data data] [--db /usr/share/proj/proj.db]

Without --db it needs nothing but the files.  With --db it also compares
every record with the EPSG dataset (see check_epsg.py).  Exits non-zero and
lists the faults when a check fails.

This reader is written apart from the generator on purpose: it follows the
file rules (a line ends at CR, a following LF belongs to the line end, fields
split at every ';', quotes stripped from text fields only) rather than the
generator's own idea of what it wrote.
"""
import argparse
import math
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(os.path.dirname(os.path.dirname(HERE)), 'data')

# The EPSG code index has no capacity: the program does not hold it in fixed arrays.
CAPACITY = {'ellips.txt': 64, 'datums.txt': 2048, 'projct.txt': 4096, 'epsg-index.txt': 10 ** 6}
# Field layout: T text of that width, N number, I integer.
LAYOUT = {
    'ellips.txt': ['I', 'T64', 'N', 'N'],
    'datums.txt': ['T64', 'T1024', 'I', 'T64', 'I'] + ['N'] * 7,
    'projct.txt': ['T64', 'T64', 'I'] + ['N'] * 7,
    'epsg-index.txt': ['I', 'T16', 'T80', 'T64', 'T256'],
}
# Trailing fields that a record may leave off: the reason of a 'left out' index row.
OPTIONAL = {'epsg-index.txt': 1}
# What we write: plain decimals, no exponent, no quotes.
NUMBER = re.compile(r'-?\d+(\.\d+)?\Z')
INTEGER = re.compile(r'-?\d+\Z')
ARCSEC = math.pi / 648000
# Projected CRS names that shorten the name of their geographic CRS.
SHORT_CRS_NAMES = {'CI1971': 'Chatham Islands 1971', 'CI1979': 'Chatham Islands 1979',
                   'ETRS89-extended': 'ETRS89', 'St. Vincent 45': 'St. Vincent 1945'}
US_FOOT = 1200 / 3937
INDEX_KINDS = ('projected', 'meridian', 'geographic', 'transformation', 'left out')
SHIFT_METHODS = (9603, 9606, 9607)
GRID_METHODS = (9615, 9613)                 # NTv2, NADCON
LONGITUDE_ROTATION = 9601
ANGLE_UNITS = ('degree', 'grad')


def grid_items(area_field):
    """(grid file, target ellipsoid, source, area text) of a grid record's
    second field, None where it has not its three items."""
    parts = area_field.split('|', 3)
    return parts if len(parts) == 4 else None


class Faults(list):
    def check(self, ok, message):
        if not ok:
            self.append(message)
        return ok


def read_catalogue(path, faults):
    """Records of one file as lists of field texts, read as the program does."""
    name = os.path.basename(path)
    with open(path, 'rb') as f:
        raw = f.read()
    faults.check(b'\x1a' not in raw, '%s: holds a Ctrl-Z, which ends the file early' % name)
    faults.check(raw.endswith(b'\r\n'), '%s: last line does not end in CR LF' % name)
    try:
        raw.decode('cp1252')
    except UnicodeDecodeError as e:
        faults.append('%s: not Windows-1252 text (%s)' % (name, e))
    lines = []
    rest = raw
    while rest:
        line, cr, rest = rest.partition(b'\r')
        faults.check(b'\n' not in line, '%s line %d: line feed without CR' % (name, len(lines) + 1))
        faults.check(not cr or rest.startswith(b'\n'),
                     '%s line %d: CR without LF' % (name, len(lines) + 1))
        if rest.startswith(b'\n'):
            rest = rest[1:]
        lines.append(line.decode('cp1252', 'replace'))
    count_text = lines[0].lstrip(' ') if lines else ''
    if not faults.check(INTEGER.match(count_text), '%s: bad count line %r' % (name, count_text)):
        return []
    count = int(count_text)
    faults.check(count == len(lines) - 1,
                 '%s: count %d but %d record lines' % (name, count, len(lines) - 1))
    faults.check(0 < count <= CAPACITY[name],
                 '%s: %d records, capacity %d' % (name, count, CAPACITY[name]))
    records = []
    for k, line in enumerate(lines[1:count + 1], 1):
        fields = line.split(';')
        layout = LAYOUT[name]
        least = len(layout) - OPTIONAL.get(name, 0)
        faults.check(least <= len(fields) <= len(layout),
                     '%s record %d: %d fields, expected %d' % (name, k, len(fields), len(layout)))
        rec = []
        for field, kind in zip(fields + [''] * (least - len(fields)), layout):
            if kind.startswith('T'):
                width = int(kind[1:])
                faults.check(field == field.strip(' ') and not field.startswith('"')
                             and not field.endswith('"'),
                             '%s record %d: text %r has blanks or quotes at an end' % (name, k, field))
                faults.check(len(field) <= width,
                             '%s record %d: text longer than %d: %r' % (name, k, width, field))
                rec.append(field)
            else:
                ok = (INTEGER if kind == 'I' else NUMBER).match(field)
                faults.check(ok, '%s record %d: %r is not a plain %s'
                             % (name, k, field, 'integer' if kind == 'I' else 'number'))
                rec.append(int(field) if kind == 'I' and ok else float(field) if ok else 0.0)
        records.append(rec)
    return records


def key(name):
    return name.strip().upper()


def resolve_datum(datums, datum_name):
    """Position (1-based) of the first datum whose name contains the text,
    as the program looks it up; 1 when none does."""
    wanted = key(datum_name)
    for pos, d in enumerate(datums, 1):
        if (wanted in key(d[0])) if wanted else key(d[0]):
            return pos
    return 1


def resolve_ellipsoid(ellipsoids, name):
    for pos, e in enumerate(ellipsoids, 1):
        if key(e[1]) == key(name):
            return pos
    return None


def read_sources(path):
    sources = {}
    with open(path, encoding='utf-8') as f:
        next(f)
        for line in f:
            file, pos, code, kind, detail = line.rstrip('\n').split('\t')
            sources[(file, int(pos))] = (int(code), kind, detail)
    return sources


# The projection methods the program computes and which of the scale factor
# (k) and the first and second further parameters (1, 2) each one uses.
METHOD_FIELDS = {
    9807: 'k', 9802: '12', 9809: 'k', 9801: 'k', 9826: 'k', 9817: 'k', 9803: '12', 1051: 'k12',
    9822: '12', 9808: 'k', 1111: 'k', 9824: 'k1', 9804: 'k', 9805: '1', 1024: '', 9810: 'k',
    9829: '1', 9830: '1', 9820: '', 1027: '', 1078: '', 1028: '1', 9835: '1', 9806: '',
    9833: '', 9818: '', 9828: '', 9832: '', 9831: '', 1052: '1', 9811: '', 9812: 'k12',
    9815: 'k12', 9813: 'k1', 9819: 'k12', 1041: 'k12', 1042: 'k12', 1043: 'k12', 9816: '',
    LONGITUDE_ROTATION: ''}


def check_grid_record(E, d, where, faults):
    """A grid record: its grid file, the ellipsoid of the grid's target
    datum and the publishing source ahead of the area text."""
    items = grid_items(d[1])
    if not faults.check(items and all(x.strip() for x in items[:3]),
                        '%s: grid record without file|target ellipsoid|source| in %r'
                        % (where, d[1][:80])):
        return
    file, target, _, _ = items
    faults.check(file == file.strip() and '/' not in file and '\\' not in file,
                 '%s: grid file %r is not a plain file name' % (where, file))
    faults.check(d[4] != 9613 or file.endswith('.las'),
                 '%s: NADCON grid %r is not a .las file' % (where, file))
    pos_e = resolve_ellipsoid(E, target)
    faults.check(pos_e is not None and E[pos_e - 1][1] == target,
                 '%s: grid target ellipsoid %r not in ellips.txt' % (where, target))


def check_invariants(E, D, P, sources, faults):
    for what, names in (('ellipsoid', [e[1] for e in E]), ('datum', [d[0] for d in D]),
                        ('projection', [p[0] for p in P])):
        keys = [key(n) for n in names]
        faults.check(all(keys), '%s with an empty name' % what)
        seen = set()
        for n in keys:
            faults.check(n not in seen, '%s name %r repeats' % (what, n))
            seen.add(n)

    for e in E:
        faults.check(6.3e6 < e[3] <= e[2] < 6.4e6, 'ellipsoid %s: axes %r, %r' % (e[1], e[2], e[3]))

    for pos, d in enumerate(D, 1):
        where = 'datum %d %s' % (pos, d[0])
        pos_e = resolve_ellipsoid(E, d[3])
        faults.check(pos_e is not None and E[pos_e - 1][1] == d[3],
                     '%s: ellipsoid %r not in ellips.txt' % (where, d[3]))
        faults.check(d[2] in (4326, 4322, 4324), '%s: toCrsCode %d' % (where, d[2]))
        faults.check(d[4] in SHIFT_METHODS + GRID_METHODS, '%s: method %d' % (where, d[4]))
        if d[4] in GRID_METHODS:
            check_grid_record(E, d, where, faults)
        t, r, ds = d[5:8], d[8:11], d[11]
        faults.check(all(abs(v) < 5000 for v in t), '%s: translations %r' % (where, t))
        faults.check(all(abs(v) < 1e-3 for v in r), '%s: rotations not radians %r' % (where, r))
        faults.check(abs(ds) < 1e-3, '%s: scale difference not a pure number %r' % (where, ds))
        if d[4] == 9603:
            faults.check(r == [0, 0, 0] and ds == 0, '%s: translations only, yet %r %r'
                         % (where, r, ds))

    # The program's chain takes positions 601 and 603 for every datum that
    # leads to WGS 72 or WGS 72BE; projections find them by name.
    if faults.check(len(D) >= 603, 'datums.txt has fewer than 603 records'):
        for pos, name, tz, rz, ds in ((601, 'WGS 72', 4.5, 0.554, 0.2263),
                                      (603, 'WGS 72BE', 1.9, 0.814, -0.38)):
            d = D[pos - 1]
            faults.check(d[0] == name and d[2] == 4326 and d[4] == 9606 and d[3] == 'WGS 72'
                         and d[5:7] == [0, 0] and math.isclose(d[7], tz, abs_tol=1e-12)
                         and d[8:10] == [0, 0] and math.isclose(d[10], rz * ARCSEC, rel_tol=1e-12)
                         and math.isclose(d[11], ds * 1e-6, rel_tol=1e-12),
                         'position %d is not %s -> WGS 84 (tZ %s m, rZ %s", dS %s ppm): %r'
                         % (pos, name, tz, rz, ds, d))
            faults.check(resolve_datum(D, name) == pos, '"%s" does not resolve to %d' % (name, pos))
            faults.check(not any(key(name) in key(x[0]) for x in D[:pos - 1]),
                         'a record before %d contains "%s"' % (pos, name))
    identity = [d for d in D if d[0] == 'WGS 84']
    faults.check(len(identity) == 1 and identity[0][2] == 4326 and identity[0][3] == 'WGS 84'
                 and identity[0][5:] == [0] * 7, 'no identity record "WGS 84"')

    faults.check(P and P[0][0] == 'none', 'projection 1 is not "none"')
    faults.check(P and D[resolve_datum(D, P[0][1]) - 1][0] == 'WGS 84',
                 'projection "none" does not lead to the WGS 84 record')
    faults.check(not any(key(p[0]) == 'NONE' for p in P[1:]), 'a second projection named none')
    for pos, p in enumerate(P[1:], 2):
        where = 'projection %d %s' % (pos, p[0])
        method, (k0, lat0, lon0, fe, fn, sp1, sp2) = p[2], p[3:]
        faults.check(method in METHOD_FIELDS, '%s: method %d' % (where, method))
        if method == LONGITUDE_ROTATION:
            # A geographic CRS on another meridian: the meridian, nothing else.
            faults.check(k0 == 1 and [lat0, fe, fn, sp1, sp2] == [0] * 5 and lon0 != 0,
                         '%s: a longitude rotation holds more than a central meridian: %r'
                         % (where, p[3:]))
        faults.check(-90 <= lat0 <= 90 and -180 < lon0 <= 180, '%s: origin %r %r'
                     % (where, lat0, lon0))
        faults.check(abs(fe) < 1e8 and abs(fn) < 2e7, '%s: false origin %r %r' % (where, fe, fn))
        if method == 9802:
            faults.check(k0 == 1 and -90 < sp1 < 90 and -90 < sp2 < 90 and sp1 != sp2,
                         '%s: Lambert needs k0 1 and two parallels: %r' % (where, p[3:]))
            # The program's own checks before it projects from a Lambert grid.
            faults.check(not (sp1 < 0 < sp2 or sp2 < 0 < sp1),
                         '%s: parallels in two hemispheres' % where)
            faults.check(not (sp1 > 0 and sp1 > sp2) and not (sp1 < 0 and sp1 < sp2),
                         '%s: first parallel not the one nearer the equator' % where)
            faults.check(not (lat0 > 0 and sp1 < 0) and not (lat0 < 0 and sp1 > 0),
                         '%s: base parallel in the other hemisphere' % where)
        else:
            used = METHOD_FIELDS.get(method, '')
            faults.check(0.9 < k0 <= 1.001 and (k0 == 1 or 'k' in used),
                         '%s: scale factor %r' % (where, k0))
            for field, v in (('1', sp1), ('2', sp2)):
                faults.check(v == 0 or field in used, '%s: unused field %s is %r'
                             % (where, field, v))
                faults.check(-360 <= v <= 360 or (field == '1' and method == 1052),
                             '%s: angle %r' % (where, v))
        found = resolve_datum(D, p[1])
        faults.check(key(p[1]) and key(p[1]) in key(D[found - 1][0]),
                     '%s: datumName %r matches no datum' % (where, p[1]))
        src = sources.get(('projct', pos))
        if faults.check(src is not None, '%s: not in sources.tsv' % where):
            intended = int(re.match(r'datum (\d+) ', src[2]).group(1))
            faults.check(found == intended, '%s: datumName resolves to %d, made for %d'
                         % (where, found, intended))
        # The datum is the projection's own: its name starts as the CRS name
        # does, less a prime meridian in brackets ("Lisbon (Lisbon) / ...").
        if ' / ' in p[0]:
            crs = p[0].split(' / ')[0]
            crs = SHORT_CRS_NAMES.get(crs, crs)
            datum = D[found - 1][0]
            faults.check(datum == crs or datum.startswith(crs + ' (')
                         or datum.startswith(re.sub(r' \(\w+\)$', '', crs) + ' ('),
                         '%s: resolves to datum %r' % (where, datum))
    faults.check(len(sources) == len(E) + len(D) + len(P), 'sources.tsv does not list every record')


def merged_codes(detail):
    """The EPSG codes merged into a projection record, from its sources.tsv detail."""
    return [int(c) for c in re.findall(r'\d+', detail.partition('also ')[2])]


def check_index(X, D, P, sources, faults):
    """The EPSG code index: one row a code, in order of code, each naming a
    record that exists; and every record's EPSG codes have a row naming it."""
    for a, b in zip(X, X[1:]):
        faults.check(a[0] < b[0], 'epsg-index.txt: EPSG %d after %d (out of order or repeated)'
                     % (b[0], a[0]))
    datum_names = {d[0] for d in D}
    projection_names = {p[0] for p in P[1:]}
    rotation = {p[0]: p[2] == LONGITUDE_ROTATION for p in P[1:]}
    for code, kind, entry, unit, *reason in X:
        where = 'epsg-index.txt EPSG %d' % code
        faults.check(code > 0, '%s: not a code' % where)
        if not faults.check(kind in INDEX_KINDS, '%s: kind %r' % (where, kind)):
            continue
        if kind == 'left out':
            # A CRS that no entry stands for: its name, its unit, and why.
            faults.check(entry and unit and reason and reason[0],
                         '%s: left out without a name, unit and reason' % where)
            continue
        faults.check(not reason, '%s: %s with a fifth field' % (where, kind))
        in_projct = kind in ('projected', 'meridian')
        names = projection_names if in_projct else datum_names
        faults.check(entry in names, '%s: no %s record named %r'
                     % (where, 'projection' if in_projct else 'datum', entry))
        faults.check(kind != 'meridian' or rotation.get(entry),
                     '%s: meridian row naming %r, not a longitude rotation' % (where, entry))
        faults.check(unit in ANGLE_UNITS if kind == 'meridian' else
                     unit == 'degree' if kind != 'projected' else unit and unit != 'degree',
                     '%s: %s with unit %r' % (where, kind, unit))

    rows = {x[0]: x for x in X}
    wanted = {'projected': 0, 'meridian': 0, 'transformation': 0}
    for pos, p in enumerate(P[1:], 2):
        src = sources.get(('projct', pos))
        kind = 'meridian' if p[2] == LONGITUDE_ROTATION else 'projected'
        for code in ([src[0]] + merged_codes(src[2])) if src else []:
            wanted[kind] += 1
            faults.check(rows.get(code, [0, ''])[1:3] == [kind, p[0]],
                         'projection %d %s: EPSG %d has no index row naming it' % (pos, p[0], code))
    for pos, d in enumerate(D, 1):
        src = sources.get(('datums', pos))
        if src is None or src[1] == 'identity':
            continue
        wanted['transformation'] += 1
        faults.check(rows.get(src[0], [0, ''])[1:3] == ['transformation', d[0]],
                     'datum %d %s: EPSG %d has no index row naming it' % (pos, d[0], src[0]))
    # With every record's codes there, equal counts leave no row over.
    for kind, n in wanted.items():
        got = sum(1 for x in X if x[1] == kind)
        faults.check(got == n, 'epsg-index.txt: %d %s rows, the records have %d codes'
                     % (got, kind, n))


def check_published_codes(X, D, P, faults):
    """EPSG codes whose catalogue entry is known from EPSG's own definitions."""
    rows = {x[0]: x for x in X}
    for code, kind, entry, unit, *reason in (
            (27700, 'projected', 'OSGB36 / British National Grid', 'metre'),
            # NAD83 / Texas South Central (ftUS): its metre twin EPSG 32140.
            (2278, 'projected', 'NAD83 / Texas South Central', 'US survey foot'),
            (32140, 'projected', 'NAD83 / Texas South Central', 'metre'),
            # NAD27 / Texas South Central exists in US survey feet only.
            (32040, 'projected', 'NAD27 / Texas South Central', 'US survey foot'),
            (4326, 'geographic', 'WGS 84', 'degree'),
            (4979, 'geographic', 'WGS 84', 'degree'),        # WGS 84 with ellipsoidal heights
            (4322, 'geographic', 'WGS 72', 'degree'),
            (4324, 'geographic', 'WGS 72BE', 'degree'),
            (1237, 'transformation', 'WGS 72', 'degree'),
            (1240, 'transformation', 'WGS 72BE', 'degree'),
            # Popular Visualisation Pseudo Mercator, and Krovak on S-JTSK's Greenwich twin.
            (3857, 'projected', 'WGS 84 / Pseudo-Mercator', 'metre'),
            (5514, 'projected', 'S-JTSK / Krovak East North', 'metre'),
            (25832, 'projected', 'ETRS89 / UTM zone 32N', 'metre'),
            (31467, 'projected', 'DHDN / 3-degree Gauss-Kruger zone 3', 'metre'),
            # Geographic CRSs on the Paris meridian (axes in grads) and the Rome one.
            (4807, 'meridian', 'NTF (Paris)', 'grad'),
            (4806, 'meridian', 'Monte Mario (Rome)', 'degree'),
            # EPSG deprecated 3785 and names 3857 in its place.
            (3785, 'left out', 'Popular Visualisation CRS / Mercator', 'metre',
             'EPSG has deprecated it in favour of EPSG:3857')):
        faults.check(rows.get(code) == [code, kind, entry, unit] + reason,
                     'EPSG %d: index row %r, expected %s %r in %s %s'
                     % (code, rows.get(code), kind, entry, unit, reason))
    datum = {d[0]: d for d in D}
    # OSGB36 to WGS 84 (6), EPSG 1314: position vector, published parameters.
    row = rows.get(1314)
    d = datum.get(row[2]) if row else None
    faults.check(d is not None and d[0].startswith('OSGB36 (') and d[4] == 9606
                 and [round(v, 6) for v in d[5:8]] == [446.448, -125.157, 542.06]
                 and math.isclose(d[11], -20.489e-6, rel_tol=1e-12),
                 'EPSG 1314: index row %r names %r' % (row, d))
    # ETRS89 / UTM zone 32N stays on ETRS89 to WGS 84 (1), EPSG 1149, all
    # zeros; DHDN / 3-degree Gauss-Kruger zone 3 goes by the BeTA2007 grid.
    projection = {p[0]: p for p in P}
    utm = projection.get('ETRS89 / UTM zone 32N')
    row = rows.get(1149)
    faults.check(utm and row and resolve_datum(D, utm[1]) == resolve_datum(D, row[2])
                 and D[resolve_datum(D, row[2]) - 1][4:] == [9603] + [0] * 7,
                 'ETRS89 / UTM zone 32N is not on ETRS89 to WGS 84 (1): %r' % (utm,))
    gk = projection.get('DHDN / 3-degree Gauss-Kruger zone 3')
    d = D[resolve_datum(D, gk[1]) - 1] if gk else None
    faults.check(d and d[4] == 9615 and d[1].startswith('BETA2007.gsb|') and d[3] == 'Bessel 1841',
                 'DHDN / 3-degree Gauss-Kruger zone 3 is not on the BeTA2007 grid: %r' % (d,))
    row = rows.get(4277)                                  # OSGB36, geographic
    faults.check(row is not None and row[1] == 'geographic' and row[2].startswith('OSGB36 ('),
                 'EPSG 4277: index row %r' % (row,))


def check_published_grids(D, faults):
    """Grid records of published grids and onward shifts: (name start,
    method, file, grid target ellipsoid, source ellipsoid, toCrsCode, onward
    tX tY tZ in metres, rX rY rZ in radians, position vector)."""
    for start, method, file, target, ellipsoid, to, t, r in (
            # BKG's BeTA2007, DHDN to ETRS89, and ETRS89 to WGS 84 (1) all zero.
            ('DHDN (', 9615, 'BETA2007.gsb', 'GRS 1980', 'Bessel 1841', 4326, (0, 0, 0), (0, 0, 0)),
            # swisstopo's CHENyx06, CH1903 to CH1903+, then CH1903+ to WGS 84 (1).
            ('CH1903 (', 9615, 'CHENYX06a.gsb', 'Bessel 1841', 'Bessel 1841', 4326,
             (674.374, 15.056, 405.346), (0, 0, 0)),
            # IGN's grid runs from NTF to RGF93.
            ('NTF (', 9615, 'ntf_r93.gsb', 'GRS 1980', 'Clarke 1880 (IGN)', 4326, (0, 0, 0),
             (0, 0, 0)),
            ('NZGD49 (', 9615, 'nzgd2kgrid0005.gsb', 'WGS 84', 'International 1924', 4326,
             (0, 0, 0), (0, 0, 0)),
            # NGS's HPGN grid for Alabama, NAD83 to NAD83(HARN), then NAD83(HARN)
            # to WGS 84 (3), published in the coordinate-frame convention with
            # rotations -1.25033e-7, -4.6785e-8, -5.6529e-8 radians.
            ('NAD83 (USA - Alabama', 9613, 'alhpgn.las', 'GRS 1980', 'GRS 1980', 4326,
             (-0.991, 1.9072, 0.5129), (1.25033e-7, 4.6785e-8, 5.6529e-8))):
        faults.check(any(d[0].startswith(start) and d[4] == method and d[2] == to
                         and (grid_items(d[1]) or [''])[:2] == [file, target] and d[3] == ellipsoid
                         and all(math.isclose(a, b, abs_tol=1e-9) for a, b in zip(d[5:8], t))
                         and all(math.isclose(a, b, abs_tol=1e-15) for a, b in zip(d[8:11], r))
                         and d[11] == 0 for d in D),
                     'no %s record of grid %s to %s with onward %r %r' % (start, file, target, t, r))


def check_published(E, D, P, faults):
    """Spot values from published EPSG parameters."""
    ell = {e[1]: e for e in E}
    for name, a, rf in (('WGS 84', 6378137, 298.257223563), ('GRS 1980', 6378137, 298.257222101),
                        ('Airy 1830', 6377563.396, 299.3249646),
                        ('Bessel 1841', 6377397.155, 299.1528128),
                        ('International 1924', 6378388, 297), ('Clarke 1866', 6378206.4, None)):
        e = ell.get(name)
        if faults.check(e, 'ellipsoid %s missing' % name):
            b = a * (1 - 1 / rf) if rf else 6356583.8
            faults.check(abs(e[2] - a) < 1e-6 and abs(e[3] - b) < 1e-6,
                         'ellipsoid %s: %r %r, published a %r b %r' % (name, e[2], e[3], a, b))

    prj = {p[0]: p for p in P}
    dms = lambda d, m=0, s=0: math.copysign(abs(d) + m / 60 + s / 3600, d)
    published = [
        # name, method, (k0, lat0, lon0, FE, FN, sp1, sp2), datum starts, ellipsoid
        ('OSGB36 / British National Grid', 9807, (0.9996012717, 49, -2, 400000, -100000, 0, 0),
         'OSGB36 (', 'Airy 1830'),
        ('Amersfoort / RD New', 9809,
         (0.9999079, dms(52, 9, 22.178), dms(5, 23, 15.5), 155000, 463000, 0, 0),
         'Amersfoort (', 'Bessel 1841'),
        # Published with the parallels 49 and 44; stored nearer the equator first.
        ('RGF93 v1 / Lambert-93', 9802, (1, 46.5, 3, 700000, 6600000, 44, 49),
         'RGF93 v1 (', 'GRS 1980'),
        ('NAD27 / Texas South Central', 9802,
         (1, dms(27, 50), -99, 2000000 * US_FOOT, 0, dms(28, 23), dms(30, 17)),
         'NAD27 (', 'Clarke 1866'),
        ('ED50 / UTM zone 31N', 9807, (0.9996, 0, 3, 500000, 0, 0, 0), 'ED50 (',
         'International 1924'),
        ('WGS 84 / UTM zone 31N', 9807, (0.9996, 0, 3, 500000, 0, 0, 0), 'WGS 84', 'WGS 84'),
        ('WGS 72BE / UTM zone 31N', 9807, (0.9996, 0, 3, 500000, 0, 0, 0), 'WGS 72BE', 'WGS 72'),
        # Lisbon meridian 9 07 54.862 W folded into the central meridian 1 E of it.
        ('Lisbon (Lisbon) / Portuguese National Grid', 9807,
         (1, dms(39, 40), 1 - dms(9, 7, 54.862), 200000, 300000, 0, 0), 'Lisbon (', 'International 1924'),
        # Given in grads: 38g and 43.50g.
        ('Deir ez Zor / Levant Stereographic', 9809, (0.9995341, 34.2, 39.15, 0, 0, 0, 0),
         'Deir ez Zor (', 'Clarke 1880 (IGN)'),
        ('WGS 84 / Pseudo-Mercator', 1024, (1, 0, 0, 0, 0, 0, 0), 'WGS 84', 'WGS 84'),
        ('ETRS89-extended / LAEA Europe', 9820, (1, 52, 10, 4321000, 3210000, 0, 0), 'ETRS89 (',
         'GRS 1980'),
        # Swiss LV95: Hotine variant B, azimuth and skew angle 90 degrees.
        ('CH1903+ / LV95', 9815,
         (1, dms(46, 57, 8.66), dms(7, 26, 22.5), 2600000, 1200000, 90, 90), 'CH1903+ (',
         'Bessel 1841'),
        # Krovak: longitude of origin 42 30 E of Ferro, 17 40 E of Greenwich; then the
        # cone axis co-latitude and the pseudo standard parallel.
        ('S-JTSK / Krovak East North', 1041,
         (0.9999, dms(49, 30), dms(24, 50), 0, 0, dms(30, 17, 17.3031), dms(78, 30)), 'S-JTSK (',
         'Bessel 1841'),
        # Longitude rotations: Paris 2.5969213 grads, Rome 12 27 08.4 E of
        # Greenwich, Ferro 17 40 W.
        ('NTF (Paris)', 9601, (1, 0, 2.33722917, 0, 0, 0, 0), 'NTF (', 'Clarke 1880 (IGN)'),
        ('Monte Mario (Rome)', 9601, (1, 0, dms(12, 27, 8.4), 0, 0, 0, 0), 'Monte Mario (',
         'International 1924'),
        ('MGI (Ferro)', 9601, (1, 0, -dms(17, 40), 0, 0, 0, 0), 'MGI (', 'Bessel 1841'),
        # South Orientated: westing and southing from the origin, no scale.
        ('Hartebeesthoek94 / Lo29', 9808, (1, 0, 29, 0, 0, 0, 0), 'Hartebeesthoek94 (', 'WGS 84'),
    ]
    for name, method, values, datum_start, ellipsoid in published:
        p = prj.get(name)
        if not faults.check(p, 'projection %s missing' % name):
            continue
        close = all(math.isclose(a, b, abs_tol=tol) for a, b, tol in
                    zip(p[3:], values, (1e-12, 1e-9, 1e-9, 1e-4, 1e-4, 1e-9, 1e-9)))
        faults.check(p[2] == method and close, '%s: %r, published %d %r'
                     % (name, p[2:], method, values))
        d = D[resolve_datum(D, p[1]) - 1]
        faults.check(d[0].startswith(datum_start) and d[3] == ellipsoid,
                     '%s: on datum %r with %r' % (name, d[0], d[3]))
    wgs84 = prj.get('WGS 84 / UTM zone 31N')
    if wgs84:
        faults.check(D[resolve_datum(D, wgs84[1]) - 1][0] == 'WGS 84',
                     'WGS 84 / UTM zone 31N is not on the identity record')
    wgs72be = prj.get('WGS 72BE / UTM zone 31N')
    if wgs72be:
        faults.check(resolve_datum(D, wgs72be[1]) == 603, 'WGS 72BE / UTM zone 31N is not on 603')

    # Published shifts that must be there, each in its own convention.
    for start, method, t, r_arcsec, ds_ppm in (
            ('OSGB36 (', 9606, (446.448, -125.157, 542.06), (0.15, 0.247, 0.842), -20.489),
            ('Amersfoort (', 9607, (565.2369, 50.0087, 465.658),
             (1.9725e-6 / ARCSEC, -1.7004e-6 / ARCSEC, 9.0677e-6 / ARCSEC), 4.0812),
            ('ED50 (', 9603, (-87, -98, -121), (0, 0, 0), 0)):
        faults.check(any(d[0].startswith(start) and d[4] == method
                         and all(math.isclose(a, b, abs_tol=1e-9) for a, b in zip(d[5:8], t))
                         and all(math.isclose(a, b * ARCSEC, abs_tol=1e-14)
                                 for a, b in zip(d[8:11], r_arcsec))
                         and math.isclose(d[11], ds_ppm * 1e-6, abs_tol=1e-14) for d in D),
                     'no %s record with method %d and %r %r %r' % (start, method, t, r_arcsec, ds_ppm))


def main(argv=None):
    ap = argparse.ArgumentParser(description='Check the catalogue files.')
    ap.add_argument('--data', default=DATA, help='folder with the catalogue files (default data/)')
    ap.add_argument('--db', help="also compare every record with EPSG in this proj.db")
    args = ap.parse_args(argv)
    faults = Faults()
    E = read_catalogue(os.path.join(args.data, 'ellips.txt'), faults)
    D = read_catalogue(os.path.join(args.data, 'datums.txt'), faults)
    P = read_catalogue(os.path.join(args.data, 'projct.txt'), faults)
    sources = read_sources(os.path.join(args.data, 'sources.tsv'))
    check_invariants(E, D, P, sources, faults)
    check_published(E, D, P, faults)
    check_published_grids(D, faults)
    index_path = os.path.join(args.data, 'epsg-index.txt')
    X = []
    if faults.check(os.path.exists(index_path), 'epsg-index.txt missing'):
        X = read_catalogue(index_path, faults)
        check_index(X, D, P, sources, faults)
        check_published_codes(X, D, P, faults)
    compared = ''
    if args.db:
        import check_epsg
        n = check_epsg.compare(args.db, E, D, P, sources, faults, X)
        compared = '; %d records compared with EPSG' % n
    print('%d ellipsoids, %d datums, %d projections%s' % (len(E), len(D), len(P), compared))
    for f in faults[:200]:
        print('FAULT', f)
    print('all checks passed' if not faults else '%d faults' % len(faults))
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
