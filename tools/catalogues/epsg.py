"""Reading the EPSG dataset held in PROJ's proj.db.

Everything here turns database rows into plain values in the units the
catalogues use: metres, decimal degrees, radians and pure numbers.  Unit
conversions are done on the exact decimal value that EPSG publishes (the
shortest text of the stored double) with exact unit ratios, and rounded to a
double once at the end, so that 49 degrees stays 49 and 2 000 000 US survey
feet becomes the double nearest 609 601.219 202 438 4 m.
"""
import math
import sqlite3
from decimal import Decimal
from fractions import Fraction

# pi to 40 digits, as a fraction, for conversions that involve it.
PI = Fraction('3.141592653589793238462643383279502884197')

# Length units: metres per unit, exactly as EPSG defines them (ratio b/c).
LENGTH_UNITS = {
    9001: Fraction(1),                               # metre
    1025: Fraction(1, 1000),                         # millimetre
    9036: Fraction(1000),                            # kilometre
    9002: Fraction('0.3048'),                        # foot
    9003: Fraction(1200, 3937),                      # US survey foot
    9005: Fraction('0.3047972654'),                  # Clarke's foot
    9031: Fraction('1.0000135965'),                  # German legal metre
    9040: Fraction(36) / Fraction('39.370147'),      # British yard (Sears 1922)
    9041: Fraction(12) / Fraction('39.370147'),      # British foot (Sears 1922)
    9080: Fraction(12) / Fraction('39.370142'),      # Indian foot
    9094: Fraction(6378300, 20926201),               # Gold Coast foot
    9096: Fraction('0.9144'),                        # yard
}

# Angle units: (factor, base) where base is 'deg' or 'rad'; the value in the
# base unit is the stored value times the factor.
ANGLE_UNITS = {
    9102: (Fraction(1), 'deg'),                      # degree
    9122: (Fraction(1), 'deg'),                      # degree (supplier to define representation)
    9105: (Fraction(9, 10), 'deg'),                  # grad
    9104: (Fraction(1, 3600), 'deg'),                # arc-second
    1031: (Fraction(1, 3600000), 'deg'),             # milliarc-second
    9113: (Fraction(9, 100000), 'deg'),              # centesimal second
    9101: (Fraction(1), 'rad'),                      # radian
    9109: (Fraction(1, 10 ** 6), 'rad'),             # microradian
}
SEXAGESIMAL_DMS = 9110

# Scale units: pure number per unit.
SCALE_UNITS = {
    9201: Fraction(1),                               # unity
    9203: Fraction(1),                               # coefficient
    9202: Fraction(1, 10 ** 6),                      # parts per million
    1028: Fraction(1, 10 ** 9),                      # parts per billion
}


def exact(value):
    """The decimal value EPSG published, recovered from the stored double."""
    return Fraction(Decimal(repr(float(value))))


def dms_degrees(value):
    """Degrees of an EPSG sexagesimal DMS value, packed as sDDD.MMSSsss."""
    text = format(Decimal(repr(abs(float(value)))), 'f')
    whole, _, frac = text.partition('.')
    frac = frac.ljust(4, '0')
    minutes = int(frac[:2])
    seconds = Fraction(Decimal(frac[2:4] + '.' + (frac[4:] or '0')))
    if minutes >= 60 or seconds >= 60:
        raise ValueError('not a sexagesimal DMS value: %r' % value)
    degrees = int(whole) + Fraction(minutes, 60) + seconds / 3600
    return -degrees if float(value) < 0 else degrees


class Units:
    """Unit conversions, checked against proj.db's own conversion factors."""

    def __init__(self, db=None):
        self.factor = {}
        self.name = {}
        rows = db.execute("select code, name, conv_factor from unit_of_measure "
                          "where auth_name = 'EPSG'") if db else ()
        for code, name, factor in rows:
            self.factor[int(code)] = factor
            self.name[int(code)] = name
        self.approximate = set()   # units converted with proj.db's double factor
        for table, to_si in ((LENGTH_UNITS, lambda f: f), (SCALE_UNITS, lambda f: f),
                             (ANGLE_UNITS, self._radians_per_unit)):
            for code, f in table.items():
                stored = self.factor.get(code)
                if stored is not None and not math.isclose(float(to_si(f)), stored, rel_tol=1e-12):
                    raise ValueError('unit %d: exact factor disagrees with proj.db (%r, %r)'
                                     % (code, float(to_si(f)), stored))

    @staticmethod
    def _radians_per_unit(entry):
        f, base = entry
        return f * PI / 180 if base == 'deg' else f

    def _fallback(self, code, kind):
        f = self.factor.get(code)
        if f is None:
            raise ValueError('%s unit %d (%s) has no conversion factor'
                             % (kind, code, self.name.get(code)))
        self.approximate.add(code)
        return Fraction(f)

    def _times(self, value, code, table, kind):
        f = table.get(int(code))
        return exact(value) * (f if f is not None else self._fallback(int(code), kind))

    def metres(self, value, code):
        return self._times(value, code, LENGTH_UNITS, 'length')

    def scale(self, value, code):
        return self._times(value, code, SCALE_UNITS, 'scale')

    def degrees(self, value, code):
        code = int(code)
        if code == SEXAGESIMAL_DMS:
            return dms_degrees(value)
        f, base = ANGLE_UNITS.get(code) or (self._fallback(code, 'angle'), 'rad')
        v = exact(value) * f
        return v if base == 'deg' else v * 180 / PI

    def radians(self, value, code):
        code = int(code)
        if code == SEXAGESIMAL_DMS:
            return dms_degrees(value) * PI / 180
        f, base = ANGLE_UNITS.get(code) or (self._fallback(code, 'angle'), 'rad')
        v = exact(value) * f
        return v * PI / 180 if base == 'deg' else v


# The seven parameter slots of a conversion, for a select list.
PARAMETER_COLUMNS = ', '.join('c.param{0}_code, c.param{0}_value, c.param{0}_uom_code'.format(i)
                              for i in range(1, 8))


def open_db(path):
    db = sqlite3.connect('file:%s?mode=ro' % path, uri=True)
    return db


def metadata(db):
    return dict(db.execute('select key, value from metadata'))


def extents(db, table, code):
    """(name, description, boxes) of an object's areas of use; boxes are
    (south, north, west, east) in degrees, split where they cross 180 degrees."""
    rows = db.execute(
        '''select e.name, e.description, e.south_lat, e.north_lat, e.west_lon, e.east_lon
           from usage u join extent e on e.auth_name = u.extent_auth_name and e.code = u.extent_code
           where u.object_table_name = ? and u.object_auth_name = 'EPSG' and u.object_code = ?
           order by e.code''', (table, code)).fetchall()
    boxes = []
    for _, _, s, n, w, e in rows:
        if None in (s, n, w, e):
            continue
        if w <= e:
            boxes.append((s, n, w, e))
        else:
            boxes += [(s, n, w, 180.0), (s, n, -180.0, e)]
    name = ' + '.join(r[0] for r in rows)
    desc = ' '.join(r[1] for r in rows)
    return name, desc, boxes


def box_area(box):
    """Area of a latitude/longitude box on the unit sphere, in steradians/rad."""
    s, n, w, e = box
    return max(0.0, e - w) * max(0.0, math.sin(math.radians(n)) - math.sin(math.radians(s)))


def coverage(inner, outer):
    """Fraction of the area of boxes `inner` that boxes `outer` cover."""
    total = sum(box_area(b) for b in inner)
    if total <= 0:
        return 0.0
    covered = 0.0
    for a in inner:
        for b in outer:
            covered += box_area((max(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), min(a[3], b[3])))
    return min(1.0, covered / total)


def ellipsoids(db, units):
    """EPSG ellipsoids by code: name, a and b in metres (exact fractions)."""
    out = {}
    for code, name, a, uom, rf, b, dep in db.execute(
            '''select code, name, semi_major_axis, uom_code, inv_flattening, semi_minor_axis,
                      deprecated from ellipsoid where auth_name = 'EPSG' '''):
        a_m = units.metres(a, uom)
        if rf:
            b_m = a_m * (1 - 1 / exact(rf))
        elif b is not None:
            b_m = units.metres(b, uom)
        else:
            b_m = a_m
        out[code] = dict(code=code, name=name, a=a_m, b=b_m, deprecated=bool(dep))
    return out


def geodetic_crs(db):
    """Geodetic CRSs by code: name, type, datum, ellipsoid and prime meridian."""
    out = {}
    for code, name, typ, datum, dname, ell, pm, dep in db.execute(
            '''select g.code, g.name, g.type, d.code, d.name, d.ellipsoid_code,
                      d.prime_meridian_code, g.deprecated
               from geodetic_crs g join geodetic_datum d
                 on d.auth_name = g.datum_auth_name and d.code = g.datum_code
               where g.auth_name = 'EPSG' '''):
        out[code] = dict(code=code, name=name, type=typ, datum=datum, datum_name=dname,
                         ellipsoid=ell, pm=pm, deprecated=bool(dep))
    return out


def prime_meridians(db, units):
    return {code: dict(name=name, degrees=units.degrees(lon, uom))
            for code, name, lon, uom in db.execute(
                "select code, name, longitude, uom_code from prime_meridian where auth_name = 'EPSG'")}


def superseded(db):
    return {code for (code,) in db.execute(
        "select superseded_code from supersession where superseded_auth_name = 'EPSG'")}


HELMERT_COLUMNS = '''code, name, method_code, source_crs_code, target_crs_code, accuracy,
    tx, ty, tz, translation_uom_code, rx, ry, rz, rotation_uom_code,
    scale_difference, scale_difference_uom_code, px, py, pz, pivot_uom_code, operation_version'''


def helmert_row(db, code):
    row = db.execute('select %s from helmert_transformation_table where auth_name = ? and code = ?'
                     % HELMERT_COLUMNS, ('EPSG', code)).fetchone()
    return None if row is None else helmert_dict(row)


def helmert_dict(row):
    keys = [k.strip() for k in HELMERT_COLUMNS.split(',')]
    return dict(zip(keys, row))


def helmert_parameters(h, units):
    """Translations (m), rotations (rad) and scale difference (pure number) of
    a Helmert-family transformation, as exact fractions; absent values are 0."""
    t = [units.metres(h[k], h['translation_uom_code']) if h[k] is not None else Fraction(0)
         for k in ('tx', 'ty', 'tz')]
    r = [units.radians(h[k], h['rotation_uom_code']) if h[k] is not None else Fraction(0)
         for k in ('rx', 'ry', 'rz')]
    ds = (units.scale(h['scale_difference'], h['scale_difference_uom_code'])
          if h['scale_difference'] is not None else Fraction(0))
    pivot = None
    if h['px'] is not None:
        pivot = [units.metres(h[k], h['pivot_uom_code']) for k in ('px', 'py', 'pz')]
    return t, r, ds, pivot


def operation_tables(db, code):
    """Which operation tables hold an EPSG code (codes are unique across them)."""
    for table, column in (('helmert_transformation_table', 'method_code'),
                          ('grid_transformation', 'method_code'),
                          ('other_transformation', 'method_code'),
                          ('concatenated_operation', "'concatenated'"),
                          ('conversion_table', 'method_code')):
        row = db.execute('select %s, source_crs_code, target_crs_code from %s '
                         "where auth_name = 'EPSG' and code = ?" % (column, table), (code,)).fetchone()
        if row:
            return table, row
    return None, None


def method_names(db):
    names = {}
    for table in ('coordinate_operation_method', 'conversion_method'):
        names.update((int(code), name) for code, name in db.execute(
            "select code, name from %s where auth_name = 'EPSG'" % table))
    for table in ('grid_transformation', 'other_transformation'):
        names.update((int(code), name) for code, name in db.execute(
            "select distinct method_code, method_name from %s where method_auth_name = 'EPSG'"
            % table))
    return names
