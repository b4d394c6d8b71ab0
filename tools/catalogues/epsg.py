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
from typing import NamedTuple, Optional

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



class AngleUnit(NamedTuple):
    """The value in the base unit ('deg' or 'rad') is the stored value times
    the factor."""
    factor: Fraction
    base: str


ANGLE_UNITS = {
    9102: AngleUnit(Fraction(1), 'deg'),             # degree
    9122: AngleUnit(Fraction(1), 'deg'),             # degree (supplier to define representation)
    9105: AngleUnit(Fraction(9, 10), 'deg'),         # grad
    9104: AngleUnit(Fraction(1, 3600), 'deg'),       # arc-second
    1031: AngleUnit(Fraction(1, 3600000), 'deg'),    # milliarc-second
    9113: AngleUnit(Fraction(9, 100000), 'deg'),     # centesimal second
    9101: AngleUnit(Fraction(1), 'rad'),             # radian
    9109: AngleUnit(Fraction(1, 10 ** 6), 'rad'),    # microradian
}


class Angle(NamedTuple):
    value: Fraction
    base: str                                        # 'deg' or 'rad'

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
    def _radians_per_unit(unit):
        return unit.factor * PI / 180 if unit.base == 'deg' else unit.factor

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

    def _angle(self, value, code):
        """The exact angle in the base unit of its unit of measure."""
        code = int(code)
        if code == SEXAGESIMAL_DMS:
            return Angle(dms_degrees(value), 'deg')
        unit = ANGLE_UNITS.get(code) or AngleUnit(self._fallback(code, 'angle'), 'rad')
        return Angle(exact(value) * unit.factor, unit.base)

    def degrees(self, value, code):
        angle = self._angle(value, code)
        return angle.value if angle.base == 'deg' else angle.value * 180 / PI

    def radians(self, value, code):
        angle = self._angle(value, code)
        return angle.value * PI / 180 if angle.base == 'deg' else angle.value


def open_db(path):
    return sqlite3.connect('file:%s?mode=ro' % path, uri=True)


def metadata(db):
    return dict(db.execute('select key, value from metadata'))


class Box(NamedTuple):
    """A latitude/longitude box in degrees that does not cross 180 degrees."""
    south: float
    north: float
    west: float
    east: float


class Area(NamedTuple):
    """An object's areas of use: names joined by " + ", descriptions, boxes."""
    name: str
    description: str
    boxes: list


def extents(db, table, code):
    """The Area of an object; a box that crosses 180 degrees is split in two."""
    names, descriptions, boxes = [], [], []
    for name, description, s, n, w, e in db.execute(
            '''select e.name, e.description, e.south_lat, e.north_lat, e.west_lon, e.east_lon
               from usage u join extent e
                 on e.auth_name = u.extent_auth_name and e.code = u.extent_code
               where u.object_table_name = ? and u.object_auth_name = 'EPSG' and u.object_code = ?
               order by e.code''', (table, code)).fetchall():
        names.append(name)
        descriptions.append(description)
        if None in (s, n, w, e):
            continue
        if w <= e:
            boxes.append(Box(s, n, w, e))
        else:
            boxes += [Box(s, n, w, 180.0), Box(s, n, -180.0, e)]
    return Area(' + '.join(names), ' '.join(descriptions), boxes)


def box_area(box):
    """Area of a latitude/longitude box on the unit sphere, in steradians/rad."""
    return (max(0.0, box.east - box.west)
            * max(0.0, math.sin(math.radians(box.north)) - math.sin(math.radians(box.south))))


def coverage(inner, outer):
    """Fraction of the area of boxes `inner` that boxes `outer` cover."""
    total = sum(box_area(b) for b in inner)
    if total <= 0:
        return 0.0
    covered = 0.0
    for a in inner:
        for b in outer:
            covered += box_area(Box(max(a.south, b.south), min(a.north, b.north),
                                    max(a.west, b.west), min(a.east, b.east)))
    return min(1.0, covered / total)


class Ellipsoid(NamedTuple):
    code: int
    name: str
    a: Fraction                 # metres
    b: Fraction                 # metres
    deprecated: bool


def ellipsoids(db, units):
    """EPSG ellipsoids by code, axes in metres (exact fractions)."""
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
        out[code] = Ellipsoid(code, name, a_m, b_m, bool(dep))
    return out


class GeodeticCrs(NamedTuple):
    code: int
    name: str
    type: str                   # 'geographic 2D', 'geocentric', ...
    datum: int                  # EPSG codes of its datum, ellipsoid and prime meridian
    datum_name: str
    ellipsoid: int
    pm: int
    deprecated: bool


def geodetic_crs(db):
    """EPSG geodetic CRSs by code."""
    out = {}
    for code, name, typ, datum, dname, ell, pm, dep in db.execute(
            '''select g.code, g.name, g.type, d.code, d.name, d.ellipsoid_code,
                      d.prime_meridian_code, g.deprecated
               from geodetic_crs g join geodetic_datum d
                 on d.auth_name = g.datum_auth_name and d.code = g.datum_code
               where g.auth_name = 'EPSG' '''):
        out[code] = GeodeticCrs(code, name, typ, datum, dname, ell, pm, bool(dep))
    return out


class PrimeMeridian(NamedTuple):
    name: str
    degrees: Fraction           # longitude east of Greenwich


def prime_meridians(db, units):
    return {code: PrimeMeridian(name, units.degrees(lon, uom))
            for code, name, lon, uom in db.execute(
                "select code, name, longitude, uom_code from prime_meridian where auth_name = 'EPSG'")}


def superseded(db):
    return {code for (code,) in db.execute(
        "select superseded_code from supersession where superseded_auth_name = 'EPSG'")}


class HelmertRow(NamedTuple):
    """A row of helmert_transformation_table, as stored."""
    code: int
    name: str
    method_code: int
    source_crs_code: int
    target_crs_code: int
    accuracy: Optional[float]
    tx: Optional[float]
    ty: Optional[float]
    tz: Optional[float]
    translation_uom_code: Optional[int]
    rx: Optional[float]
    ry: Optional[float]
    rz: Optional[float]
    rotation_uom_code: Optional[int]
    scale_difference: Optional[float]
    scale_difference_uom_code: Optional[int]
    px: Optional[float]
    py: Optional[float]
    pz: Optional[float]
    pivot_uom_code: Optional[int]
    operation_version: Optional[str]


def helmert_rows(db, condition, args=()):
    """The rows of helmert_transformation_table that meet an SQL condition."""
    return [HelmertRow._make(row) for row in db.execute(
        'select %s from helmert_transformation_table where %s'
        % (', '.join(HelmertRow._fields), condition), args)]


def helmert_row(db, code):
    rows = helmert_rows(db, "auth_name = 'EPSG' and code = ?", (code,))
    return rows[0] if rows else None


class HelmertParameters(NamedTuple):
    """Translations (m), rotations (rad) and scale difference (pure number) as
    exact fractions; the pivot point (m) of a Molodensky-Badekas one, else None."""
    t: list
    r: list
    ds: Fraction
    pivot: Optional[list]


def helmert_parameters(h, units):
    """The HelmertParameters of a Helmert-family row; absent values are 0."""
    t = [units.metres(v, h.translation_uom_code) if v is not None else Fraction(0)
         for v in (h.tx, h.ty, h.tz)]
    r = [units.radians(v, h.rotation_uom_code) if v is not None else Fraction(0)
         for v in (h.rx, h.ry, h.rz)]
    ds = (units.scale(h.scale_difference, h.scale_difference_uom_code)
          if h.scale_difference is not None else Fraction(0))
    pivot = None
    if h.px is not None:
        pivot = [units.metres(v, h.pivot_uom_code) for v in (h.px, h.py, h.pz)]
    return HelmertParameters(t, r, ds, pivot)


class OperationKind(NamedTuple):
    """The table that holds an operation (None where none does) and its method
    code ('concatenated' for a concatenated operation)."""
    table: Optional[str]
    method: object


def operation_kind(db, code):
    """Which operation table holds an EPSG code (codes are unique across them)."""
    for table, column in (('helmert_transformation_table', 'method_code'),
                          ('grid_transformation', 'method_code'),
                          ('other_transformation', 'method_code'),
                          ('concatenated_operation', "'concatenated'"),
                          ('conversion_table', 'method_code')):
        for (method,) in db.execute("select %s from %s where auth_name = 'EPSG' and code = ?"
                                    % (column, table), (code,)):
            return OperationKind(table, method)
    return OperationKind(None, None)


class Parameter(NamedTuple):
    value: float
    uom: int


class ProjectedCrs(NamedTuple):
    code: int
    name: str
    geodetic_crs: int
    method: int                 # of its conversion
    params: dict                # EPSG parameter code -> Parameter
    axis_uom: Optional[int]     # unit of its first axis


def projected_crs(db):
    """The non-deprecated EPSG projected CRSs, in order of code."""
    slots = ', '.join('c.param{0}_code, c.param{0}_value, c.param{0}_uom_code'.format(i)
                      for i in range(1, 8))
    out = []
    for code, name, gcode, method, *values, axis_uom in db.execute(
            '''select p.code, p.name, p.geodetic_crs_code, c.method_code, %s, a.uom_code
               from projected_crs p
               join conversion_table c on c.auth_name = p.conversion_auth_name
                    and c.code = p.conversion_code
               left join axis a on a.coordinate_system_auth_name = p.coordinate_system_auth_name
                    and a.coordinate_system_code = p.coordinate_system_code
                    and a.coordinate_system_order = 1
               where p.auth_name = 'EPSG' and p.deprecated = 0
               order by p.code''' % slots).fetchall():
        params = {}
        for i in range(0, len(values), 3):
            param, value, uom = values[i:i + 3]
            if param:
                params[param] = Parameter(value, uom)
        out.append(ProjectedCrs(code, name, gcode, method, params, axis_uom))
    return out


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


def parameter_names(db):
    """EPSG parameter code -> name, as the conversions name them."""
    names = {}
    for i in range(1, 8):
        names.update((int(code), name) for code, name in db.execute(
            "select distinct param{0}_code, param{0}_name from conversion "
            "where auth_name = 'EPSG' and param{0}_code is not null".format(i)))
    return names
