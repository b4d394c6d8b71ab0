"""Compare every catalogue record with the EPSG dataset in proj.db.

Written apart from the generator: units are converted with proj.db's own
conversion factors in plain double arithmetic, packed DMS is taken apart by
arithmetic rather than by its digits, and the datum of a projection is found
by the program's substring rule, then traced back to EPSG through sources.tsv.
Tolerances are those of such double arithmetic: 1e-8 degree, 1e-5 m in a
false origin, 1e-9 m in a translation.
"""
import math
import re
import sqlite3

GREENWICH = 8901
DMS = 9110


class Epsg:
    def __init__(self, path):
        self.db = sqlite3.connect('file:%s?mode=ro' % path, uri=True)
        self.factor = {c: f for c, f in self.db.execute(
            "select code, conv_factor from unit_of_measure where auth_name = 'EPSG'")}

    def one(self, sql, *args):
        return self.db.execute(sql, args).fetchone()

    def si(self, value, unit):
        """Metres, radians or unity."""
        if value is None:
            return 0.0
        if unit == DMS:
            return math.radians(dms(value))
        return value * self.factor[unit]

    def degrees(self, value, unit):
        if unit == DMS:
            return dms(value)
        if unit in (9102, 9122):
            return value
        return math.degrees(value * self.factor[unit])

    def crs_datum(self, crs_code):
        """(datum code, datum name, ellipsoid name, prime meridian) of a geodetic CRS."""
        return self.one('''select d.code, d.name, e.name, d.prime_meridian_code
                           from geodetic_crs g
                           join geodetic_datum d on d.auth_name = g.datum_auth_name and d.code = g.datum_code
                           join ellipsoid e on e.auth_name = d.ellipsoid_auth_name and e.code = d.ellipsoid_code
                           where g.auth_name = 'EPSG' and g.code = ?''', crs_code)

    def helmert(self, code):
        row = self.one('''select method_code, source_crs_code, target_crs_code,
                                 tx, ty, tz, translation_uom_code, rx, ry, rz, rotation_uom_code,
                                 scale_difference, scale_difference_uom_code, px, py, pz, pivot_uom_code
                          from helmert_transformation_table where auth_name = 'EPSG' and code = ?''',
                       code)
        if row is None:
            return None
        method, src, tgt = row[:3]
        t = [self.si(v, row[6]) for v in row[3:6]]
        r = [self.si(v, row[10]) for v in row[7:10]]
        ds = self.si(row[11], row[12])
        pivot = [self.si(v, row[16]) for v in row[13:16]] if row[13] is not None else None
        return dict(method=method, src=src, tgt=tgt, t=t, r=r, ds=ds, pivot=pivot)


def dms(value):
    """Degrees of a packed sDDD.MMSSsss value."""
    sign = -1 if value < 0 else 1
    v = abs(value)
    d = math.floor(v + 1e-12)
    rest = round((v - d) * 100, 10)
    m = math.floor(rest + 1e-9)
    s = round((rest - m) * 100, 8)
    return sign * (d + m / 60 + s / 3600)


def helmert_form(h):
    """(method, t, r, ds) for the program: Molodensky-Badekas about its pivot
    written out as a plain Helmert."""
    if h['pivot'] is None:
        return h['method'], h['t'], h['r'], h['ds']
    rx, ry, rz = h['r']
    m = 1 + h['ds']
    px, py, pz = h['pivot']
    if h['method'] == 9636:      # coordinate frame
        rp = (px + rz * py - ry * pz, -rz * px + py + rx * pz, ry * px - rx * py + pz)
        method = 9607
    else:                        # position vector
        rp = (px - rz * py + ry * pz, rz * px + py - rx * pz, -ry * px + rx * py + pz)
        method = 9606
    t = [h['t'][i] + h['pivot'][i] - m * rp[i] for i in range(3)]
    return method, t, h['r'], h['ds']


def expected_shift(epsg, code, kind):
    """(method, source CRS, target CRS, t, r, ds) that EPSG gives for a record."""
    if kind in ('helmert', 'molodensky-badekas'):
        h = epsg.helmert(code)
        method, t, r, ds = helmert_form(h)
        return method, h['src'], h['tgt'], t, r, ds
    src, tgt = epsg.one('''select source_crs_code, target_crs_code from concatenated_operation
                           where auth_name = 'EPSG' and code = ?''', code)
    codes = [c for (c,) in epsg.db.execute(
        '''select step_code from concatenated_operation_step
           where operation_auth_name = 'EPSG' and operation_code = ? order by step_number''', (code,))]
    # From another prime meridian: the record is of the datum that EPSG's
    # longitude rotation, the first step, leads to.
    rotation = epsg.one('''select target_crs_code from other_transformation
                           where auth_name = 'EPSG' and code = ? and method_code = 9601
                             and source_crs_code = ?''', codes[0], src)
    if rotation:
        src, codes = rotation[0], codes[1:]
    steps = [epsg.helmert(c) for c in codes]
    moving = [h for h in steps if any(h['t'] + h['r'] + [h['ds']])]
    if len(moving) == 1 and moving[0]['method'] != 9603:
        h = moving[0]
        return h['method'], src, tgt, h['t'], h['r'], h['ds']
    t, here = [0.0, 0.0, 0.0], src
    for h in steps:
        sign = 1 if h['src'] == here else -1
        here = h['tgt'] if sign == 1 else h['src']
        t = [a + sign * b for a, b in zip(t, h['t'])]
    return 9603, src, tgt, t, [0.0] * 3, 0.0


def greenwich_twin(epsg, crs_code):
    """The Greenwich CRS of EPSG's first live longitude rotation from a CRS."""
    row = epsg.one('''select o.target_crs_code from other_transformation o
        join geodetic_crs g on g.auth_name = 'EPSG' and g.code = o.target_crs_code
        join geodetic_datum d on d.auth_name = g.datum_auth_name and d.code = g.datum_code
        where o.auth_name = 'EPSG' and o.method_code = 9601 and o.deprecated = 0
          and o.source_crs_code = ? and d.prime_meridian_code = ? order by o.code''',
                   crs_code, GREENWICH)
    return row[0] if row else None


def compare_grid(epsg, pos, d, code, detail, D, datum_of, ellipsoid_names, faults):
    """A grid record against EPSG's grid transformation: the file (PROJ's
    former name where PROJ has one, NADCON's latitude file with its .los
    twin), the two datums' ellipsoids, the direction PROJ gives the file, and
    the onward shift: the shift of the record named in sources.tsv, of the
    grid's target datum, in the position-vector convention."""
    where = 'datum %d %s (EPSG %d)' % (pos, d[0], code)
    row = epsg.one('''select g.method_code, g.source_crs_code, g.target_crs_code, g.grid_name,
                             g.grid2_name, a.old_proj_grid_name, a.inverse_direction
                      from grid_transformation g
                      left join grid_alternatives a on a.original_grid_name = g.grid_name
                      where g.auth_name = 'EPSG' and g.code = ? and g.deprecated = 0''', code)
    if not faults.check(row, '%s: not a live EPSG grid transformation' % where):
        return
    method, src, tgt, file, file2, proj_file, inverse = row
    if inverse:
        src, tgt = tgt, src
    items = d[1].split('|', 3)
    if not faults.check(len(items) == 4, '%s: no grid items in %r' % (where, d[1][:60])):
        return
    if method == 9613:
        wanted = file
        faults.check(file2 == file[:-4] + '.los', '%s: NADCON files %s %s' % (where, file, file2))
    else:
        wanted = proj_file or file
    faults.check(d[4] == method and items[0].lower() == wanted.lower(),
                 '%s: method %d file %r, EPSG %d %r' % (where, d[4], items[0], method, wanted))
    datum_code, _, ellipsoid, pm = epsg.crs_datum(src)
    datum_of[pos] = datum_code
    target_datum, _, target_ellipsoid, _ = epsg.crs_datum(tgt)
    faults.check(pm == GREENWICH and d[3] == ellipsoid and items[1] == target_ellipsoid
                 and {d[3], items[1]} <= ellipsoid_names,
                 '%s: ellipsoids %r to %r, EPSG %r to %r' % (where, d[3], items[1], ellipsoid,
                                                             target_ellipsoid))
    onward = re.search(r'then datum (\d+) \(EPSG (\d+)\)', detail)
    if tgt == 4326:
        faults.check(onward is None and d[2] == 4326 and d[5:] == [0] * 7,
                     '%s: a grid to WGS 84 with an onward shift %r' % (where, d[2:]))
        return
    if not faults.check(onward, '%s: grid to EPSG %d without an onward record' % (where, tgt)):
        return
    o = D[int(onward.group(1)) - 1]
    faults.check(datum_of.get(int(onward.group(1))) == target_datum and o[4] in (9603, 9606, 9607),
                 '%s: onward record %r is not a shift of datum %d' % (where, o[0], target_datum))
    sign = -1 if o[4] == 9607 else 1
    faults.check(d[2] == o[2] and d[5:8] == o[5:8] and d[8:11] == [sign * v for v in o[8:11]]
                 and d[11] == o[11], '%s: onward %r, record %s has %r'
                 % (where, d[2:], o[0], o[2:]))


def compare_meridian(epsg, code, p, pos, datum_code, faults):
    """A longitude rotation record: a live geographic 2D CRS on another
    prime meridian, the meridian's Greenwich longitude, and a record of the
    datum of its Greenwich twin."""
    where = 'projection %d %s (EPSG %d)' % (pos, p[0], code)
    crs = epsg.one('''select g.name, g.type, g.deprecated, pm.longitude, pm.uom_code
        from geodetic_crs g
        join geodetic_datum d on d.auth_name = g.datum_auth_name and d.code = g.datum_code
        join prime_meridian pm on pm.auth_name = d.prime_meridian_auth_name
             and pm.code = d.prime_meridian_code
        where g.auth_name = 'EPSG' and g.code = ?''', code)
    if not faults.check(crs and crs[1] == 'geographic 2D' and not crs[2],
                        '%s: not a live geographic 2D CRS' % where):
        return
    lon = epsg.degrees(crs[3], crs[4])
    faults.check(p[0] == plain_text(crs[0]) and p[2] == 9601 and p[3] == 1
                 and math.isclose(p[5], lon, abs_tol=1e-8) and p[4] == 0 and p[6:] == [0] * 4,
                 '%s: %r, EPSG %s meridian %r' % (where, p, crs[0], lon))
    twin = greenwich_twin(epsg, code)
    faults.check(twin is not None and epsg.crs_datum(twin)[0] == datum_code,
                 '%s: datum record of datum %d, Greenwich twin EPSG %r' % (where, datum_code, twin))


def compare(db_path, E, D, P, sources, faults, X=()):
    epsg = Epsg(db_path)
    compared = 0
    ellipsoid_names = {e[1] for e in E}

    for pos, e in enumerate(E, 1):
        code = sources[('ellips', pos)][0]
        a, uom, rf, b, name = epsg.one('''select semi_major_axis, uom_code, inv_flattening,
                                                 semi_minor_axis, name
                                          from ellipsoid where auth_name = 'EPSG' and code = ?''', code)
        a *= epsg.factor[uom]
        b = a * (1 - 1 / rf) if rf else (b * epsg.factor[uom] if b else a)
        faults.check(e[0] == code and e[1] == name and math.isclose(e[2], a, abs_tol=1e-6)
                     and math.isclose(e[3], b, abs_tol=1e-6),
                     'ellipsoid %d: %r, EPSG %d %s %r %r' % (pos, e, code, name, a, b))
        compared += 1

    datum_of = {}          # datum position -> EPSG datum code of its source
    grids = []
    for pos, d in enumerate(D, 1):
        code, kind, detail = sources[('datums', pos)]
        if kind == 'grid':
            grids.append((pos, d, code, detail))
            continue
        if kind == 'identity':
            datum_of[pos] = epsg.crs_datum(4326)[0]
            faults.check(d[2] == 4326 and d[3] == 'WGS 84' and d[5:] == [0] * 7,
                         'datum %d: identity record %r' % (pos, d))
            continue
        method, src, tgt, t, r, ds = expected_shift(epsg, code, kind)
        datum_code, _, ellipsoid, pm = epsg.crs_datum(src)
        datum_of[pos] = datum_code
        where = 'datum %d %s (EPSG %d)' % (pos, d[0], code)
        faults.check(pm == GREENWICH, '%s: source CRS not on Greenwich' % where)
        faults.check(d[2] == tgt and d[4] == method, '%s: %d %d, EPSG %d %d'
                     % (where, d[2], d[4], tgt, method))
        faults.check(d[3] == ellipsoid and ellipsoid in ellipsoid_names,
                     '%s: ellipsoid %r, EPSG %r' % (where, d[3], ellipsoid))
        tol_t = 1e-6 if kind == 'molodensky-badekas' else 1e-9
        faults.check(all(math.isclose(a, b, abs_tol=tol_t) for a, b in zip(d[5:8], t))
                     and all(math.isclose(a, b, abs_tol=1e-15) for a, b in zip(d[8:11], r))
                     and math.isclose(d[11], ds, abs_tol=1e-15),
                     '%s: %r, EPSG %r %r %r' % (where, d[5:], t, r, ds))
        compared += 1
    for pos, d, code, detail in grids:
        compare_grid(epsg, pos, d, code, detail, D, datum_of, ellipsoid_names, faults)
        compared += 1

    for pos, p in enumerate(P[1:], 2):
        code, kind, detail = sources[('projct', pos)]
        datum_pos = next(i for i, x in enumerate(D, 1) if p[1].upper() in x[0].upper())
        if kind == 'meridian':
            compare_meridian(epsg, code, p, pos, datum_of[datum_pos], faults)
            compared += 1
            continue
        merged = [int(c) for c in re.findall(r'\d+', detail.partition('also ')[2])]
        for crs_code in [code] + merged:
            compare_projection(epsg, crs_code, p, pos, datum_pos, datum_of, D, faults,
                               own=crs_code == code)
        compared += 1
    compare_index(epsg, X, D, P, sources, datum_of, faults)
    return compared + len(X)


# Every projection method of a live EPSG projected CRS, as the library computes them.
PROJECTION_METHODS = frozenset((
    9807, 9802, 9809, 9801, 9822, 1052, 9806, 9833, 9808, 9810, 9829, 9830, 9812, 9815, 9820,
    1027, 9826, 9804, 9805, 1024, 9818, 9819, 1041, 1042, 1043, 1078, 1051, 9828, 9824, 9813,
    1028, 9835, 9832, 9831, 9811, 9803, 9817, 9816, 1111))
# The record's fields by the role of an EPSG parameter; whatever parameters a
# method has beyond these fill the last two fields in EPSG's order.
ORIGIN_LATITUDE = (8801, 8821, 8811)
ORIGIN_LONGITUDE = (8802, 8822, 8812, 8833, 8830)
SCALE = (8805, 8815, 8819, 1038)
EASTING = (8806, 8826, 8816)
NORTHING = (8807, 8827, 8817)
LENGTHS = EASTING + NORTHING + (1039,)
GEOGRAPHIC = ('geographic 2D', 'geographic 3D')
OPERATION_TABLES = ('helmert_transformation_table', 'concatenated_operation',
                    'grid_transformation')
AREA_TABLES = {'concatenated': 'concatenated_operation', 'grid': 'grid_transformation'}


def boxes(epsg, table, code):
    """The areas of use of an object as (south, north, west, east) boxes, a box
    across 180 degrees split in two."""
    out = []
    for s, n, w, e in epsg.db.execute(
            '''select e.south_lat, e.north_lat, e.west_lon, e.east_lon from usage u
               join extent e on e.auth_name = u.extent_auth_name and e.code = u.extent_code
               where u.object_table_name = ? and u.object_auth_name = 'EPSG'
                 and u.object_code = ?''', (table, code)):
        out += [(s, n, w, e)] if w <= e else [(s, n, w, 180.0), (s, n, -180.0, e)]
    return out


def meet(a, b):
    """Whether two lists of boxes share some area."""
    return any(min(x[1], y[1]) > max(x[0], y[0]) and min(x[3], y[3]) > max(x[2], y[2])
               for x in a for y in b)


def apart(p, q):
    """Whether two projection records compute apart: another datum name, or
    values that differ by more than a tenth of a millimetre or 1e-9 degree
    (the most by which a foot definition of a metre CRS rounds away from it)."""
    tolerances = (1e-10, 1e-9, 1e-9, 1e-4, 1e-4, 1e-9, 1e-9)
    return p[1:3] != q[1:3] or any(abs(a - b) > t for a, b, t in zip(p[3:], q[3:], tolerances))


def compare_index(epsg, X, D, P, sources, datum_of, faults):
    """The EPSG code index against EPSG: a projected row is a live CRS of the
    three methods, in the unit of its own axes, a foot CRS on the entry of its
    metre twin unless the two compute apart; a geographic row is a live
    geographic CRS on Greenwich and names a record of its own datum; every
    such CRS whose datum has a record meeting its area of use has a row; a
    transformation row is a live EPSG operation; a left-out row is a CRS that
    no record stands for, for a reason that EPSG bears out, and every EPSG
    projected and geographic CRS has a row."""
    rows = {x[0]: x for x in X}
    datum_pos = {d[0]: pos for pos, d in enumerate(D, 1)}
    projection = {p[0]: p for p in P}
    for code, kind, entry, unit, *reason in X:
        where = 'epsg-index.txt EPSG %d' % code
        if kind == 'left out':
            compare_left_out(epsg, code, entry, unit, reason[0] if reason else '',
                             set(datum_of.values()), faults)
        elif kind == 'projected':
            crs = epsg.one('''select p.name, p.deprecated, c.method_code, u.name
                from projected_crs p
                join conversion_table c on c.auth_name = p.conversion_auth_name
                     and c.code = p.conversion_code
                join axis a on a.coordinate_system_auth_name = p.coordinate_system_auth_name
                     and a.coordinate_system_code = p.coordinate_system_code
                     and a.coordinate_system_order = 1
                join unit_of_measure u on u.auth_name = a.uom_auth_name and u.code = a.uom_code
                where p.auth_name = 'EPSG' and p.code = ?''', code)
            if faults.check(crs, '%s: not an EPSG projected CRS' % where):
                name, deprecated, method, axis_unit = crs
                faults.check(not deprecated and method in PROJECTION_METHODS,
                             '%s: %s, deprecated %d, method %d' % (where, name, deprecated, method))
                faults.check(unit == axis_unit, '%s: %s in %r, index says %r'
                             % (where, name, axis_unit, unit))
                twin = re.match(r'(.*) \([^()]*\)$', name)
                if unit != 'metre' and twin and entry in projection:
                    # The metre CRS of the same name without the unit, where there is one.
                    for (other,) in epsg.db.execute(
                            '''select p.code from projected_crs p
                               join axis a
                                 on a.coordinate_system_auth_name = p.coordinate_system_auth_name
                                    and a.coordinate_system_code = p.coordinate_system_code
                                    and a.coordinate_system_order = 1
                               where p.auth_name = 'EPSG' and p.deprecated = 0 and p.name = ?
                                 and a.uom_code = 9001''', (twin.group(1),)):
                        twin_entry = rows[other][2] if other in rows else entry
                        faults.check(twin_entry == entry or apart(projection[entry],
                                                                  projection[twin_entry]),
                                     '%s: %s names %r, its metre twin %d names %r'
                                     % (where, name, entry, other, twin_entry))
        elif kind == 'meridian':
            crs = epsg.one('''select g.name, u.name, a.uom_code from geodetic_crs g
                join axis a on a.coordinate_system_auth_name = g.coordinate_system_auth_name
                     and a.coordinate_system_code = g.coordinate_system_code
                     and a.coordinate_system_order = 1
                join unit_of_measure u on u.auth_name = a.uom_auth_name and u.code = a.uom_code
                where g.auth_name = 'EPSG' and g.code = ?''', code)
            axis_unit = 'degree' if crs and crs[2] in (9102, 9122) else crs and crs[1]
            faults.check(crs and unit == axis_unit and entry in projection
                         and projection[entry][2] == 9601,
                         '%s: %r in %r, EPSG %r' % (where, entry, unit, crs))
        elif kind == 'geographic':
            crs = epsg.one('''select name, type, deprecated from geodetic_crs
                              where auth_name = 'EPSG' and code = ?''', code)
            if not faults.check(crs and crs[1] in GEOGRAPHIC and not crs[2],
                                '%s: not a live EPSG geographic CRS: %r' % (where, crs)):
                continue
            datum_code, _, _, pm = epsg.crs_datum(code)
            faults.check(pm == GREENWICH, '%s: %s is not on Greenwich' % (where, crs[0]))
            faults.check(datum_of.get(datum_pos.get(entry)) == datum_code,
                         '%s: %s names %r, a record of another datum' % (where, crs[0], entry))
        elif kind == 'transformation':
            found = [t for t in OPERATION_TABLES if epsg.one(
                "select 1 from %s where auth_name = 'EPSG' and code = ? and deprecated = 0" % t,
                code)]
            faults.check(found, '%s: not a live EPSG transformation' % where)

    # Geographic CRSs that should have a row: their datum has a record whose
    # area meets theirs.
    areas = {}
    for pos, d in enumerate(D, 1):
        code, kind, _ = sources[('datums', pos)]
        area = [(-90.0, 90.0, -180.0, 180.0)] if kind == 'identity' else \
            boxes(epsg, AREA_TABLES.get(kind, 'helmert_transformation'), code)
        areas.setdefault(datum_of[pos], []).extend(area)
    for code, name, typ, datum in epsg.db.execute(
            '''select g.code, g.name, g.type, g.datum_code from geodetic_crs g
               join geodetic_datum d on d.auth_name = g.datum_auth_name and d.code = g.datum_code
               where g.auth_name = 'EPSG' and g.deprecated = 0 and d.prime_meridian_code = ?''',
            (GREENWICH,)).fetchall():
        if typ in GEOGRAPHIC and datum in areas and meet(boxes(epsg, 'geodetic_crs', code),
                                                          areas[datum]):
            faults.check(rows.get(code, [0, 'left out'])[1] == 'geographic',
                         'geographic CRS %d %s: its datum has a record, but the '
                         'index has no geographic row' % (code, name))
    for table, kinds in (('projected_crs', '1'),
                         ('geodetic_crs', "type in ('geographic 2D', 'geographic 3D')")):
        for code, name in epsg.db.execute(
                "select code, name from %s where auth_name = 'EPSG' and %s" % (table, kinds)):
            faults.check(code in rows, '%s %d %s: no index row' % (table, code, name))


def plain_text(name):
    """A name as the index writes it: Windows-1252, no separator, single blanks."""
    name = name.replace('; ', ', ').replace(';', ',').replace('"', "'")
    return ' '.join(name.encode('cp1252', 'replace').decode('cp1252').split())


def compare_left_out(epsg, code, entry, unit, reason, datums_with_records, faults):
    """A left-out row against EPSG: the CRS's name and unit, and a reason that
    holds: deprecated (and what EPSG puts in its place), another projection
    method (named as EPSG names it), or a datum without a record."""
    where = 'epsg-index.txt EPSG %d' % code
    projected = epsg.one('''select p.name, p.deprecated, c.method_code, m.name, u.name,
                                   p.geodetic_crs_code
        from projected_crs p
        join conversion_table c on c.auth_name = p.conversion_auth_name and c.code = p.conversion_code
        join conversion_method m on m.auth_name = c.method_auth_name and m.code = c.method_code
        join axis a on a.coordinate_system_auth_name = p.coordinate_system_auth_name
             and a.coordinate_system_code = p.coordinate_system_code and a.coordinate_system_order = 1
        join unit_of_measure u on u.auth_name = a.uom_auth_name and u.code = a.uom_code
        where p.auth_name = 'EPSG' and p.code = ?''', code)
    if projected:
        name, deprecated, method, method_name, axis_unit, geographic = projected
    else:
        crs = epsg.one('''select name, deprecated, type from geodetic_crs
                          where auth_name = 'EPSG' and code = ?''', code)
        if not faults.check(crs and crs[2] in GEOGRAPHIC,
                            '%s: left out, but no EPSG projected or geographic CRS' % where):
            return
        name, deprecated, _ = crs
        method, method_name, axis_unit, geographic = None, None, 'degree', code
    faults.check(entry == plain_text(name) and unit == axis_unit,
                 '%s: %r in %r, EPSG %r in %r' % (where, entry, unit, name, axis_unit))
    if deprecated:
        by = [c for (c,) in epsg.db.execute(
            '''select replacement_code from deprecation where deprecated_auth_name = 'EPSG'
               and deprecated_code = ? and replacement_auth_name = 'EPSG'
               and table_name in ('projected_crs', 'geodetic_crs')''', (code,))]
        faults.check(reason.startswith('EPSG has deprecated it')
                     and sorted(map(int, re.findall(r'EPSG:(\d+)', reason))) == sorted(by),
                     '%s: deprecated, in favour of %r, but the reason is %r' % (where, by, reason))
        return
    if method is not None and method not in PROJECTION_METHODS:
        faults.check(reason == 'its projection method, %s, is not computed by this version'
                     % method_name, '%s: method %s, but the reason is %r'
                     % (where, method_name, reason))
        return
    datum_code, datum_name, _, pm = epsg.crs_datum(geographic)
    if pm != GREENWICH:
        # A projection or a geographic 2D CRS stands on the Greenwich twin of
        # its geographic CRS, EPSG's longitude rotation's target, where there
        # is one.
        twin = greenwich_twin(epsg, geographic)
        if twin is None or epsg.one('''select type from geodetic_crs where auth_name = 'EPSG'
                                       and code = ?''', geographic)[0] != 'geographic 2D':
            faults.check('meridian' in reason, '%s: not on Greenwich, but the reason is %r'
                         % (where, reason))
            return
        datum_code, datum_name, _, pm = epsg.crs_datum(twin)
    if 'covers its area' in reason:
        faults.check(datum_code in datums_with_records and datum_name in reason,
                     '%s: %r, but its datum %d %s has no record' % (where, reason, datum_code,
                                                                   datum_name))
    else:
        faults.check(datum_code not in datums_with_records
                     and reason.startswith('its datum, %s, has ' % plain_text(datum_name)),
                     '%s: %r, with datum %d %s' % (where, reason, datum_code, datum_name))


def projection_values(epsg, crs_code):
    """(method, values, geodetic CRS) of a projected CRS, in degrees and metres,
    the prime meridian folded in."""
    gcrs, conversion = epsg.one("select geodetic_crs_code, conversion_code from projected_crs "
                                "where auth_name = 'EPSG' and code = ?", crs_code)
    cur = epsg.db.execute("select * from conversion_table where auth_name = 'EPSG' and code = ?",
                          (conversion,))
    conv = dict(zip([col[0] for col in cur.description], cur.fetchone()))
    method = conv['method_code']
    par = {}
    for i in range(1, 8):
        if conv['param%d_code' % i]:
            par[conv['param%d_code' % i]] = (conv['param%d_value' % i], conv['param%d_uom_code' % i])
    pm_lon, pm_uom = epsg.one('''select pm.longitude, pm.uom_code from geodetic_crs g
        join geodetic_datum d on d.auth_name = g.datum_auth_name and d.code = g.datum_code
        join prime_meridian pm on pm.auth_name = d.prime_meridian_auth_name and pm.code = d.prime_meridian_code
        where g.auth_name = 'EPSG' and g.code = ?''', gcrs)
    pm = epsg.degrees(pm_lon, pm_uom)

    def value(code):
        v, uom = par[code]
        return epsg.si(v, uom) if code in LENGTHS else v if code in SCALE else epsg.degrees(v, uom)

    def role(codes, default):
        found = [c for c in codes if c in par]
        return value(found[0]) if found else default
    roles = ORIGIN_LATITUDE + ORIGIN_LONGITUDE + SCALE + EASTING + NORTHING
    rest = [value(c) for c in par if c not in roles] + [0.0, 0.0]
    values = [role(SCALE, 1.0), role(ORIGIN_LATITUDE, 0.0), role(ORIGIN_LONGITUDE, 0.0) + pm,
              role(EASTING, 0.0), role(NORTHING, 0.0), rest[0], rest[1]]
    if method == 9802 and abs(values[5]) > abs(values[6]):
        values[5], values[6] = values[6], values[5]  # nearer the equator first, as the program wants
    # Longitudes in (-180, 180], as the catalogue writes them.
    values[2] = (values[2] + 180) % 360 - 180 if abs(values[2]) > 180 else values[2]
    values[2] = 180.0 if values[2] == -180 else values[2]
    return method, values, gcrs


def compare_projection(epsg, crs_code, p, pos, datum_pos, datum_of, D, faults, own):
    method, values, gcrs = projection_values(epsg, crs_code)
    where = 'projection %d %s (EPSG %d)' % (pos, p[0], crs_code)
    # A merged CRS may differ from the kept one by the rounding of a foot definition.
    tol = (1e-12, 1e-8, 1e-8, 1e-5, 1e-5, 1e-8, 1e-8) if own else \
          (1e-10, 1e-9, 1e-9, 1e-3, 1e-3, 1e-9, 1e-9)
    faults.check(p[2] == method and all(math.isclose(a, b, abs_tol=t)
                                        for a, b, t in zip(p[3:], values, tol)),
                 '%s: %r, EPSG %d %r' % (where, p[2:], method, values))
    datum_code, datum_name, _, pm = epsg.crs_datum(gcrs)
    got = datum_of[datum_pos]
    if pm != GREENWICH:
        # The record is that of the Greenwich datum this one is a twin of:
        # same name but for the meridian in brackets.
        got_name = epsg.one("select name from geodetic_datum where auth_name = 'EPSG' and code = ?", got)[0]
        faults.check(re.sub(r' \([^()]*\)$', '', datum_name) == got_name,
                     '%s: datum %s, record is for %s' % (where, datum_name, got_name))
    elif own:
        faults.check(got == datum_code, '%s: datum %d, record %d is for datum %d'
                     % (where, datum_code, datum_pos, got))
    elif got != datum_code:
        # Merged from another datum of the family: that datum must have a
        # record that computes the same.
        d = D[datum_pos - 1]
        same = [i for i, code in datum_of.items()
                if code == datum_code and D[i - 1][2:] == d[2:]]
        faults.check(same, '%s: merged into a CRS on another datum, and its datum %s has no '
                     'record computing the same' % (where, datum_name))
