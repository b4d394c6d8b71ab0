#!/usr/bin/env python3
"""Generate the catalogue files ellips.txt, datums.txt and projct.txt from the
EPSG dataset in PROJ's proj.db.

    python3 tools/catalogues/generate.py [--db /usr/share/proj/proj.db] [--out data]

Writes the three catalogues, sources.tsv (the EPSG codes behind every record)
and README.md into the output folder, and prints a summary of what was taken
and what was left out.
"""
import argparse
import os
import re
import sys
from collections import Counter, defaultdict
from dataclasses import dataclass, field
from fractions import Fraction
from typing import NamedTuple, Optional

import catfile
import epsg
import provenance
from shifts import Shift, round_trip_error

ELLIPSOID_CAPACITY, DATUM_CAPACITY, PROJECTION_CAPACITY = 64, 1024, 4096
SHIFT_METHODS = (9603, 9606, 9607)
MOLODENSKY_BADEKAS = {9636: 9607, 1063: 9606}      # M-B method -> Helmert of the same convention
TARGETS = (4326, 4322, 4324)                       # WGS 84, WGS 72, WGS 72BE
TARGETS_SQL = '(%s)' % ', '.join(map(str, TARGETS))
# Operations of a table that lead to one of the targets.
TO_TARGETS = '''auth_name = 'EPSG' and deprecated = 0 and target_crs_auth_name = 'EPSG'
                and target_crs_code in %s''' % TARGETS_SQL
GREENWICH = 8901


class FixedDatum(NamedTuple):
    code: int                   # EPSG transformation
    name: str


# The program's chain takes WGS 72 -> WGS 84 from position 601 and
# WGS 72BE -> WGS 84 from position 603.
FIXED = {601: FixedDatum(1237, 'WGS 72'), 603: FixedDatum(1240, 'WGS 72BE')}
FIXED_NAMES = {f.code: f.name for f in FIXED.values()}
HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.join(os.path.dirname(os.path.dirname(HERE)), 'data')


def folded(name):
    """A name as the program compares names: blanks trimmed, upper case."""
    return name.strip().upper()


# ---------------------------------------------------------------- datums
@dataclass(eq=False)
class DatumRecord:
    """A line of datums.txt and the EPSG operation behind it."""
    kind: str                   # a key of provenance.KIND
    code: int                   # EPSG operation; 0 for the identity
    operation_name: str         # EPSG name of the operation
    source_name: str            # name of its source CRS
    datum_code: int             # EPSG datum and ellipsoid of its source CRS
    ellipsoid_code: int
    shift: Shift
    to: int                     # target CRS: one of TARGETS
    accuracy: float             # metres; inf where EPSG gives none
    superseded: bool
    version: str                # EPSG operation version, '' where none
    area: epsg.Area
    steps: list                 # step codes of a concatenated operation
    name: str = ''              # set by name_datums
    pos: int = 0                # 1-based position, set by order_datums
    ellipsoid_name: str = ''    # as written in the record


class Operation(NamedTuple):
    """What the datum records take from any EPSG operation to a target."""
    code: int
    name: str
    source: int
    target: int
    accuracy: Optional[float]
    version: Optional[str]


class Step(NamedTuple):
    """A shift step of a concatenated operation, and whether the operation
    takes it forward."""
    shift: Shift
    forward: bool


def zero(values):
    return all(v == 0 for v in values)


def translation(t):
    """Geocentric translations alone."""
    return Shift(9603, t, [Fraction(0)] * 3, Fraction(0))


def from_molodensky_badekas(method, t, r, ds, pivot):
    """(Helmert method, translations) equal to a Molodensky-Badekas
    transformation: X' = M R (X - P) + P + T  =  M R X + (T + P - M R P)."""
    rx, ry, rz = r
    if method == 9636:          # coordinate frame
        rot = ((1, rz, -ry), (-rz, 1, rx), (ry, -rx, 1))
    else:                       # position vector
        rot = ((1, -rz, ry), (rz, 1, -rx), (-ry, rx, 1))
    m = 1 + ds
    t2 = [t[i] + pivot[i] - m * sum(rot[i][j] * pivot[j] for j in range(3)) for i in range(3)]
    return MOLODENSKY_BADEKAS[method], t2


def compose(db, units, source, target, step_codes):
    """The Shift of a concatenated operation when its steps reduce exactly to
    one shift of the three methods, else the reason why they do not."""
    current, moving = source, []
    for code in step_codes:
        kind = epsg.operation_kind(db, code)
        if kind.table == 'grid_transformation':
            return 'grid-based step'
        if kind.table == 'other_transformation':
            return {9601: 'longitude rotation step'}.get(kind.method, 'step of another method')
        if kind.table != 'helmert_transformation_table':
            return 'step of kind %s' % kind.table
        h = epsg.helmert_row(db, code)
        if h.method_code in MOLODENSKY_BADEKAS:
            return 'Molodensky-Badekas step'
        if h.method_code not in SHIFT_METHODS:
            return 'step of method %s' % h.method_code
        p = epsg.helmert_parameters(h, units)
        if h.source_crs_code == current:
            forward, current = True, h.target_crs_code
        elif h.target_crs_code == current:
            forward, current = False, h.source_crs_code
        else:
            return 'steps do not chain'
        shift = Shift(h.method_code, p.t, p.r, p.ds)
        if not zero(shift.parameters):
            moving.append(Step(shift, forward))
    if current != target:
        return 'steps do not chain'
    if all(s.shift.method == 9603 for s in moving):
        # Geocentric translations add up exactly, in either direction.
        return translation([sum((s.shift.t[i] if s.forward else -s.shift.t[i]) for s in moving)
                            for i in range(3)])
    if len(moving) == 1 and moving[0].forward:
        return moving[0].shift
    return 'several Helmert steps'


@dataclass
class DatumSearch:
    """What the steps of datum_candidates share."""
    db: object
    units: epsg.Units
    crs: dict                   # EPSG code -> epsg.GeodeticCrs
    superseded: set             # EPSG codes of superseded operations
    method_name: dict
    tally: provenance.Tally

    def source(self, code, what):
        """The source CRS of an operation where the program can use it, else
        None, with the reason counted."""
        src = self.crs.get(code)
        if src is None or src.type != 'geographic 2D':
            self.tally.left('%s: source is not a geographic 2D CRS' % what)
            return None
        if src.pm != GREENWICH:
            self.tally.left('%s: source has a non-Greenwich prime meridian' % what)
            return None
        return src

    def method(self, code):
        return self.method_name.get(code, code)

    def record(self, kind, op, src, shift, table, steps=()):
        return DatumRecord(
            kind=kind, code=op.code, operation_name=op.name, source_name=src.name,
            datum_code=src.datum, ellipsoid_code=src.ellipsoid, shift=shift, to=op.target,
            accuracy=op.accuracy if op.accuracy is not None else float('inf'),
            superseded=op.code in self.superseded, version=op.version or '',
            area=epsg.extents(self.db, table, op.code), steps=list(steps))


def helmert_shift(h, units):
    """The Shift of an EPSG transformation of the three methods or of
    Molodensky-Badekas, the latter as the Helmert it equals."""
    p = epsg.helmert_parameters(h, units)
    if h.method_code in MOLODENSKY_BADEKAS:
        method, t = from_molodensky_badekas(h.method_code, p.t, p.r, p.ds, p.pivot)
        return Shift(method, t, p.r, p.ds)
    if h.method_code == 9603 and not zero(p.r + [p.ds]):
        raise ValueError('transformation %d: geocentric translations with rotations' % h.code)
    return Shift(h.method_code, p.t, p.r, p.ds)


def helmert_records(search, report):
    """Records of the EPSG transformations of the three methods, and of the
    Molodensky-Badekas ones whose Helmert form the program can reverse."""
    records, converted = [], []
    for h in epsg.helmert_rows(search.db, TO_TARGETS):
        src = search.source(h.source_crs_code, 'transformation')
        if src is None:
            continue
        if h.method_code not in SHIFT_METHODS and h.method_code not in MOLODENSKY_BADEKAS:
            search.tally.left('transformation: %s' % search.method(h.method_code), src.datum)
            continue
        kind = 'molodensky-badekas' if h.method_code in MOLODENSKY_BADEKAS else 'helmert'
        op = Operation(h.code, h.name, h.source_crs_code, h.target_crs_code, h.accuracy,
                       h.operation_version)
        rec = search.record(kind, op, src, helmert_shift(h, search.units), 'helmert_transformation')
        (records if kind == 'helmert' else converted).append(rec)
    worst = max([0.0] + [round_trip_error(d.shift, d.area.boxes) for d in records])
    report.append('largest forward-then-reverse error of an EPSG Helmert record: %.3f m' % worst)
    return records + reversible(converted, search.tally)


def reversible(converted, tally):
    """A Molodensky-Badekas transformation becomes an exact Helmert with larger
    translations, and the program's approximate reverse shift errs by about
    rotation times translation; take it only where that error stays below a
    hundredth of the accuracy EPSG gives for the transformation."""
    taken = []
    for rec in converted:
        err = round_trip_error(rec.shift, rec.area.boxes)
        limit = (rec.accuracy if rec.accuracy != float('inf') else 1.0) / 100
        if err <= limit:
            taken.append(rec)
            tally.taken('Molodensky-Badekas transformations rewritten as the equal Helmert')
        else:
            tally.left('transformation: Molodensky-Badekas whose Helmert form would err by more '
                       'than 1/100 of its accuracy in the reverse shift', rec.datum_code)
    return taken


def concatenated_records(search, direct):
    """Records of the EPSG concatenated operations that reduce exactly to one
    shift; `direct` holds the codes of transformations already taken."""
    records = []
    for op in map(Operation._make, search.db.execute(
            '''select code, name, source_crs_code, target_crs_code, accuracy, operation_version
               from concatenated_operation where %s order by code''' % TO_TARGETS).fetchall()):
        steps = [c for (c,) in search.db.execute(
            '''select step_code from concatenated_operation_step
               where operation_auth_name = 'EPSG' and operation_code = ? order by step_number''',
            (op.code,))]
        src = search.source(op.source, 'concatenated operation')
        if src is None:
            continue
        result = compose(search.db, search.units, op.source, op.target, steps)
        if isinstance(result, str):
            if len(steps) == 2 and steps[0] in direct and steps[1] in FIXED_NAMES:
                result = 'same route as its first step and the WGS 72/72BE record'
            search.tally.left('concatenated operation: %s' % result, src.datum)
            continue
        records.append(search.record('concatenated', op, src, result, 'concatenated_operation',
                                     steps))
        search.tally.taken('concatenated operations reduced exactly to one shift')
    return records


def count_unusable(search):
    """Grid-based and other transformations to a target: never taken, but
    counted, and noted for their datum."""
    for table in ('grid_transformation', 'other_transformation'):
        for method, source in search.db.execute(
                'select method_code, source_crs_code from %s where %s' % (table, TO_TARGETS)):
            src = search.source(source, 'transformation')
            if src is not None:
                kind = 'grid-based, ' if table == 'grid_transformation' else ''
                search.tally.left('transformation: %s%s' % (kind, search.method(method)), src.datum)


def identity_record(crs):
    """The record of WGS 84 itself."""
    wgs84 = crs[4326]
    return DatumRecord(kind='identity', code=0, operation_name='WGS 84 identity',
                       source_name='WGS 84', datum_code=wgs84.datum,
                       ellipsoid_code=wgs84.ellipsoid, shift=translation([Fraction(0)] * 3),
                       to=4326, accuracy=0.0, superseded=False, version='',
                       area=epsg.Area('World', 'World.', [epsg.Box(-90.0, 90.0, -180.0, 180.0)]),
                       steps=[])


def datum_candidates(db, units, crs, sup, report):
    """Every usable transformation to WGS 84, WGS 72 or WGS 72BE, as a record."""
    search = DatumSearch(db, units, crs, sup, epsg.method_names(db), provenance.Tally())
    records = helmert_records(search, report)
    records += concatenated_records(search, {d.code for d in records})
    count_unusable(search)
    records.append(identity_record(crs))
    return records, search.tally


def name_datums(records):
    """Readable unique names: "<source CRS> (<area>)", tagged where they repeat."""
    def name(d, tag=''):
        head = catfile.text(d.source_name)
        if d.kind == 'identity':
            return head
        room = catfile.NAME_WIDTH - len(head) - len(tag) - 3
        return '%s (%s)%s' % (head, catfile.shorten(catfile.text(d.area.name), room), tag)

    for d in records:
        d.name = FIXED_NAMES.get(d.code) or name(d)
    for tag in (lambda d: ' [%s]' % catfile.text(d.version) if d.version else '',
                lambda d: ' [EPSG %d]' % d.code):
        seen = Counter(folded(d.name) for d in records)
        for d in records:
            if seen[folded(d.name)] > 1 and d.code not in FIXED_NAMES:
                d.name = name(d, tag(d))
    seen = Counter(folded(d.name) for d in records)
    clash = [n for n, k in seen.items() if k > 1]
    if clash:
        raise ValueError('datum names still repeat: %s' % clash[:5])
    for d in records:
        if len(d.name) > catfile.NAME_WIDTH:
            raise ValueError('datum name too long: %s' % d.name)


def order_datums(records):
    """Alphabetical order, with the two fixed records at their positions and
    no record before them whose name contains theirs."""
    by_code = {d.code: d for d in records}
    fixed = {pos: by_code[f.code] for pos, f in FIXED.items()}
    if len(records) < max(FIXED):
        raise ValueError('only %d datum records; positions %s must be filled'
                         % (len(records), sorted(FIXED)))
    if len(records) > DATUM_CAPACITY:
        raise ValueError('%d datum records exceed the capacity of %d'
                         % (len(records), DATUM_CAPACITY))
    queue = sorted((d for d in records if d not in fixed.values()),
                   key=lambda d: (d.name.casefold(), d.code))
    order = []
    while len(order) < len(records):
        pos = len(order) + 1
        if pos in fixed:
            order.append(fixed[pos])
            continue
        later_fixed = [folded(f.name) for p, f in fixed.items() if p > pos]
        pick = next((d for d in queue if not any(n in folded(d.name) for n in later_fixed)), None)
        if pick is None:
            raise ValueError('position %d can only be filled by a record that would shadow %s'
                             % (pos, later_fixed))
        queue.remove(pick)
        order.append(pick)
    for i, d in enumerate(order, 1):
        d.pos = i
    return order


def resolve(order, datum_name):
    """The program's look-up: first datum whose name contains the given text."""
    key = folded(datum_name)
    for d in order:
        if key in folded(d.name) and (key or d.name.strip()):
            return d
    return None


def check_fixed_positions(order):
    for pos, f in FIXED.items():
        if order[pos - 1].code != f.code or resolve(order, f.name) is not order[pos - 1]:
            raise ValueError('position %d does not hold %s' % (pos, f.name))


# ---------------------------------------------------------------- projections
class ParameterCodes(NamedTuple):
    """EPSG parameter codes of a projection method; None where it has none."""
    lat0: Optional[int]
    lon0: int
    k0: Optional[int]
    fe: int
    fn: int
    sp1: Optional[int]
    sp2: Optional[int]


# Where each method's EPSG parameters go in a record: origin latitude and
# longitude, scale, false origin, then the method's other parameters in EPSG's
# order in the two fields after (standard parallels, an azimuth and a skew
# angle, a cone axis co-latitude and pseudo standard parallel, a zone width, a
# projection plane height). The library's public header lists the same.
NATURAL = (8801, 8802, 8805, 8806, 8807)            # natural origin, scale, false origin
NATURAL_NO_SCALE = (8801, 8802, None, 8806, 8807)
FALSE_ORIGIN = (8821, 8822, None, 8826, 8827)        # the conics' false origin
HOTINE = (8811, 8812, 8815)
KROVAK = ParameterCodes(8811, 8833, 8819, 8806, 8807, 1036, 8818)
PARAMETERS = {
    9807: ParameterCodes(*NATURAL, None, None),      # Transverse Mercator
    9809: ParameterCodes(*NATURAL, None, None),      # Oblique Stereographic
    9802: ParameterCodes(*FALSE_ORIGIN, 8823, 8824),  # Lambert Conic Conformal (2SP)
    9801: ParameterCodes(*NATURAL, None, None),      # Lambert Conic Conformal (1SP)
    9826: ParameterCodes(*NATURAL, None, None),      # ... (West Orientated)
    9817: ParameterCodes(*NATURAL, None, None),      # Lambert Conic Near-Conformal
    9803: ParameterCodes(*FALSE_ORIGIN, 8823, 8824),  # ... (2SP Belgium)
    1051: ParameterCodes(8821, 8822, 1038, 8826, 8827, 8823, 8824),  # ... (2SP Michigan)
    9822: ParameterCodes(*FALSE_ORIGIN, 8823, 8824),  # Albers Equal Area
    9808: ParameterCodes(*NATURAL, None, None),      # Transverse Mercator (South Orientated)
    1111: ParameterCodes(*NATURAL, None, None),      # Transverse Mercator 3D
    9824: ParameterCodes(8801, 8830, 8805, 8806, 8807, 8831, None),  # TM Zoned Grid System
    9804: ParameterCodes(*NATURAL, None, None),      # Mercator (variant A)
    9805: ParameterCodes(None, 8802, None, 8806, 8807, 8823, None),  # Mercator (variant B)
    1024: ParameterCodes(*NATURAL_NO_SCALE, None, None),  # Popular Visualisation Pseudo Mercator
    9810: ParameterCodes(*NATURAL, None, None),      # Polar Stereographic (variant A)
    9829: ParameterCodes(None, 8833, None, 8806, 8807, 8832, None),  # ... (variant B)
    9830: ParameterCodes(None, 8833, None, 8826, 8827, 8832, None),  # ... (variant C)
    9820: ParameterCodes(*NATURAL_NO_SCALE, None, None),  # Lambert Azimuthal Equal Area
    1027: ParameterCodes(*NATURAL_NO_SCALE, None, None),  # ... (Spherical)
    1078: ParameterCodes(None, 8802, None, 8806, 8807, None, None),  # Equal Earth
    1028: ParameterCodes(None, 8802, None, 8806, 8807, 8823, None),  # Equidistant Cylindrical
    9835: ParameterCodes(None, 8802, None, 8806, 8807, 8823, None),  # Lambert Cyl. Equal Area
    9806: ParameterCodes(*NATURAL_NO_SCALE, None, None),  # Cassini-Soldner
    9833: ParameterCodes(*NATURAL_NO_SCALE, None, None),  # Hyperbolic Cassini-Soldner
    9818: ParameterCodes(*NATURAL_NO_SCALE, None, None),  # American Polyconic
    9828: ParameterCodes(*NATURAL_NO_SCALE, None, None),  # Bonne (South Orientated)
    9832: ParameterCodes(*NATURAL_NO_SCALE, None, None),  # Modified Azimuthal Equidistant
    9831: ParameterCodes(*NATURAL_NO_SCALE, None, None),  # Guam Projection
    1052: ParameterCodes(*NATURAL_NO_SCALE, 1039, None),  # Colombia Urban
    9811: ParameterCodes(*NATURAL_NO_SCALE, None, None),  # New Zealand Map Grid
    9812: ParameterCodes(*HOTINE, 8806, 8807, 8813, 8814),  # Hotine Oblique Mercator (variant A)
    9815: ParameterCodes(*HOTINE, 8816, 8817, 8813, 8814),  # ... (variant B)
    9813: ParameterCodes(*HOTINE, 8806, 8807, 8813, None),  # Laborde Oblique Mercator
    9819: KROVAK,                                     # Krovak
    1041: KROVAK,                                     # Krovak (North Orientated)
    1042: KROVAK,                                     # Krovak Modified
    1043: KROVAK,                                     # Krovak Modified (North Orientated)
    9816: ParameterCodes(*FALSE_ORIGIN, None, None),  # Tunisia Mining Grid
}
PROJECTION_METHODS = tuple(PARAMETERS)
# Parameters that are lengths or pure numbers; all others are angles.
LENGTH_PARAMETERS = {8806, 8807, 8826, 8827, 8816, 8817, 1039}
SCALE_PARAMETERS = {8805, 8815, 8819, 1038}


class ProjectionValues(NamedTuple):
    """The numbers of a projection record, in file order: scale, origin in
    degrees, false origin in metres, standard parallels in degrees."""
    k0: object
    lat0: object
    lon0: object
    fe: object
    fn: object
    sp1: object
    sp2: object


@dataclass(eq=False)
class Projection:
    """A line of projct.txt and the EPSG projected CRS behind it."""
    code: int
    name: str                   # EPSG name
    method: int
    datum: DatumRecord
    cover: float                # how much of the CRS's area the datum record covers
    values: ProjectionValues
    metric: bool                # the CRS's axes are in metres
    unit: str                   # EPSG name of the unit of its axes
    pm_folded: bool             # a non-Greenwich meridian added to the central meridian
    box: object = None          # the largest box of the CRS's area of use
    merged: list = field(default_factory=list)    # EPSG codes merged into this one
    oname: str = ''             # name as written, set by select_projections


def projection_values(method, params, units, pm_shift):
    """The ProjectionValues in the catalogue's units, exact."""
    codes = PARAMETERS[method]

    def get(code, default=Fraction(0)):
        if code is None:
            return default
        p = params[code]
        convert = (units.metres if code in LENGTH_PARAMETERS else
                   units.scale if code in SCALE_PARAMETERS else units.degrees)
        return convert(p.value, p.uom)
    lon0 = get(codes.lon0) + pm_shift
    if lon0 > 180:
        lon0 -= 360
    elif lon0 <= -180:
        lon0 += 360
    first, second = get(codes.sp1), get(codes.sp2)
    # The program wants the Lambert 2SP standard parallel nearer the equator
    # first; the projection is the same with the two in either order.
    if method == 9802 and abs(first) > abs(second):
        first, second = second, first
    return ProjectionValues(k0=get(codes.k0, Fraction(1)), lat0=get(codes.lat0), lon0=lon0,
                            fe=get(codes.fe), fn=get(codes.fn), sp1=first, sp2=second)


def greenwich_twins(db, crs):
    """Geographic CRS with a non-Greenwich prime meridian -> its Greenwich twin,
    from EPSG's longitude rotations."""
    twins = defaultdict(list)
    for src, tgt in db.execute(
            """select source_crs_code, target_crs_code from other_transformation
               where auth_name = 'EPSG' and method_code = 9601 and deprecated = 0 order by code"""):
        if src in crs and tgt in crs and crs[tgt].pm == GREENWICH:
            twins[src].append(tgt)
    return twins


def area_cover(boxes, d):
    """How much of the area `boxes` a datum record covers, to 1/100."""
    return round(epsg.coverage(boxes, d.area.boxes), 2)


def best_record(boxes, candidates):
    """Of a datum's records, the one that covers most of the area; then the
    fixed WGS 72/72BE record, not superseded, most accurate, straight to WGS 84."""
    return min(candidates, key=lambda d: (
        -area_cover(boxes, d), d.pos not in FIXED, d.superseded, d.accuracy, d.to != 4326,
        sum(epsg.box_area(b) for b in d.area.boxes), d.code))


def no_record_reason(tally, base):
    """Why a CRS on this geographic CRS's datum has no datum record, as a sentence."""
    kinds = tally.instead.get(base.datum)
    if not kinds:
        return 'its datum, %s, has no transformation to WGS 84, WGS 72 or WGS 72BE' % (
            base.datum_name)
    return 'its datum, %s, has only %s to WGS 84, none of which this version takes in' % (
        base.datum_name, ' and '.join(sorted(kinds)))


def no_cover_reason(base):
    return 'no transformation of its datum, %s, to WGS 84 covers its area of use' % (
        base.datum_name)


def projection_candidates(db, units, crs, by_datum, report, tally, left):
    """The projected CRSs the catalogue can hold; `left` takes the others:
    code -> LeftOut."""
    method_name = epsg.method_names(db)
    pms = epsg.prime_meridians(db, units)
    twins = greenwich_twins(db, crs)
    out = []
    for row in epsg.projected_crs(db):
        unit = units.name.get(row.axis_uom, 'unknown')

        def leave(reason):
            left[row.code] = LeftOut(row.name, unit, reason)
        if row.method not in PROJECTION_METHODS:
            method = method_name.get(row.method, row.method)
            tally.other_method(method)
            leave('its projection method, %s, is not computed by this version' % method)
            continue
        base = crs[row.geodetic_crs]
        pm_folded = base.pm != GREENWICH
        pm_shift = Fraction(0)
        if pm_folded:
            twin = twins.get(row.geodetic_crs)
            if not twin:
                tally.left('projected CRS: non-Greenwich prime meridian without a Greenwich twin')
                leave(non_greenwich_reason(pms, base))
                continue
            pm_shift = pms[base.pm].degrees
            base = crs[twin[0]]
        candidates = by_datum.get(base.datum)
        if not candidates:
            tally.left('projected CRS: its datum has %s' % tally.why_no_record(base.datum))
            leave(no_record_reason(tally, base))
            continue
        boxes = epsg.extents(db, 'projected_crs', row.code).boxes
        best = best_record(boxes, candidates)
        cover = area_cover(boxes, best)
        if cover == 0:
            tally.left('projected CRS: no transformation of its datum covers its area')
            leave(no_cover_reason(base))
            continue
        out.append(Projection(code=row.code, name=row.name, method=row.method, datum=best,
                              cover=cover,
                              values=projection_values(row.method, row.params, units, pm_shift),
                              metric=row.axis_uom == 9001, unit=units.name[row.axis_uom],
                              pm_folded=pm_folded, box=max(boxes, key=epsg.box_area)))
    report.append('projected CRS with the %d methods computed: %d candidates'
                  % (len(PROJECTION_METHODS), len(out)))
    return out


def parameter_key(p):
    """Projection parameters to 1e-9 degree, 1e-10 in scale and 1 mm: foot
    definitions of a metre CRS often differ from it by a tenth of a millimetre."""
    v = ProjectionValues._make(float(x) for x in p.values)
    return (p.method, round(v.k0, 10), round(v.lat0, 9), round(v.lon0, 9), round(v.fe, 3),
            round(v.fn, 3), round(v.sp1, 9), round(v.sp2, 9))


def shift_key(d):
    return (d.ellipsoid_code, d.to, d.shift.method) + tuple(float(v) for v in d.shift.parameters)


def family(p):
    """"NAD83(HARN) / Texas South" -> "NAD83": the datum family of a CRS name."""
    return re.split(r'[ (]', p.name.split(' / ')[0])[0].casefold()


def merge(projections, key, prefer):
    """Keep one projection of each group with equal key; the others are noted
    as merged into it."""
    groups = defaultdict(list)
    for p in projections:
        groups[key(p)].append(p)
    kept = []
    for group in groups.values():
        group.sort(key=prefer)
        head = group[0]
        for q in group[1:]:
            head.merged += [q.code] + q.merged
        kept.append(head)
    return kept


def projection_name(name):
    if len(name) <= catfile.NAME_WIDTH:
        return name
    name = name.replace(' and ', ' & ')
    if len(name) <= catfile.NAME_WIDTH:
        return name
    m = re.match(r'(.*?)( \([^()]*\))$', name)      # keep a unit suffix such as " (ftUS)"
    body, suffix = (m.group(1), m.group(2)) if m else (name, '')
    return catfile.shorten(body, catfile.NAME_WIDTH - len(suffix), r'(, | )') + suffix


def select_projections(candidates, tally):
    twins = merge(candidates,
                  key=lambda p: (p.datum.pos,) + parameter_key(p),
                  prefer=lambda p: (not p.metric, len(p.name) if p.metric else 0, p.code))
    tally.merged('projected CRSs equal to another on the same datum record to 1 mm and '
                 '1e-9 degree (foot/metre twins and the like)', len(candidates) - len(twins))
    kept = merge(twins,
                 key=lambda p: (family(p),) + shift_key(p.datum) + parameter_key(p),
                 prefer=lambda p: (len(p.name.split(' / ')[0]), not p.metric, p.code))
    tally.merged('projected CRSs computing the same as one of the same datum family '
                 '(same ellipsoid, shift and projection)', len(twins) - len(kept))
    room = PROJECTION_CAPACITY - 1
    if len(kept) > room:
        kept.sort(key=lambda p: (p.cover < 0.5, not p.metric, p.datum.superseded, p.code))
        tally.left('projected CRS: no room within the capacity', n=len(kept) - room)
        kept = kept[:room]
    for p in kept:
        p.oname = catfile.text(projection_name(catfile.text(p.name)))
        if len(p.oname) > catfile.NAME_WIDTH:
            raise ValueError('projection name too long: %s' % p.oname)
    names = Counter(folded(p.oname) for p in kept)
    if max(names.values()) > 1 or 'NONE' in names:
        raise ValueError('projection names repeat: %s' % [n for n, k in names.items() if k > 1])
    kept.sort(key=lambda p: (p.oname.casefold(), p.code))
    return kept


# ---------------------------------------------------------------- EPSG code index
INDEX_FILE = 'epsg-index.txt'
GEOGRAPHIC_TYPES = ('geographic 2D', 'geographic 3D')


class IndexRow(NamedTuple):
    """A line of epsg-index.txt: an EPSG code and the catalogue entry it names,
    or for a CRS left out its EPSG name and why it was left out."""
    code: int
    kind: str                   # 'projected', 'geographic', 'transformation' or 'left out'
    entry: str                  # record name as written in projct.txt or datums.txt
    unit: str                   # EPSG name of the unit of the CRS's axes
    reason: str = ''            # 'left out' rows only: a sentence about the CRS


class LeftOut(NamedTuple):
    """An EPSG CRS that no catalogue entry stands for, and why."""
    name: str
    unit: str
    reason: str


def non_greenwich_reason(pms, base):
    return ('its prime meridian is %s, and EPSG has no rotation of its geographic CRS to '
            'Greenwich' % pms[base.pm].name)


def geographic_records(db, crs, by_datum, pms, tally, left):
    """EPSG geographic CRS code (2D and 3D) -> the datum record the catalogue
    uses for it: of its datum's records, the best by the rule a projection's
    record is chosen with, over the geographic CRS's own area of use, where it
    overlaps that area at all. Only CRSs on Greenwich: the program reads
    longitudes from Greenwich, so one on another meridian has no record.
    `left` takes the live geographic CRSs without a record: code -> LeftOut."""
    out = {}
    for code, g in sorted(crs.items()):
        if g.deprecated or g.type not in GEOGRAPHIC_TYPES:
            continue
        if g.pm != GREENWICH:
            left[code] = LeftOut(g.name, 'degree', 'its longitudes count from the %s meridian, '
                                 'and this version counts them from Greenwich' % pms[g.pm].name)
            continue
        candidates = by_datum.get(g.datum)
        if not candidates:
            left[code] = LeftOut(g.name, 'degree', no_record_reason(tally, g))
            continue
        boxes = epsg.extents(db, 'geodetic_crs', code).boxes
        best = best_record(boxes, candidates)
        # Unlike a projection, which needs a record covering a hundredth of
        # its area, any overlap will do: the record is all there is.
        if epsg.coverage(boxes, best.area.boxes) > 0:
            out[code] = best
        else:
            left[code] = LeftOut(g.name, 'degree', no_cover_reason(g))
    return out


def deprecated_crs(db, units):
    """The deprecated EPSG projected and geographic CRSs: code -> LeftOut,
    naming the CRSs that EPSG gives in their place."""
    replaced = defaultdict(list)
    for code, by in db.execute(
            """select deprecated_code, replacement_code from deprecation
               where table_name in ('projected_crs', 'geodetic_crs')
                 and deprecated_auth_name = 'EPSG' and replacement_auth_name = 'EPSG'
               order by replacement_code"""):
        replaced[int(code)].append(int(by))
    left = {}
    for code, name, uom in db.execute(
            """select p.code, p.name, a.uom_code from projected_crs p
               left join axis a on a.coordinate_system_auth_name = p.coordinate_system_auth_name
                    and a.coordinate_system_code = p.coordinate_system_code
                    and a.coordinate_system_order = 1
               where p.auth_name = 'EPSG' and p.deprecated = 1
               union all
               select code, name, 9102 from geodetic_crs
               where auth_name = 'EPSG' and deprecated = 1
                 and type in ('geographic 2D', 'geographic 3D')"""):
        by = replaced.get(code)
        reason = 'EPSG has deprecated it'
        if by:
            reason += ' in favour of ' + ' or '.join('EPSG:%d' % c for c in by)
        left[code] = LeftOut(name, units.name.get(uom, 'unknown'), reason)
    return left


def index_rows(candidates, projections, geographic, order, left=None):
    """Every EPSG code the catalogues stand for, with its entry, sorted by code:
    each projection record's CRS and the CRSs merged into it (each with the
    unit of its own axes), the geographic CRSs, and each datum record's
    transformation; then a row for each CRS left out (`left`: code -> LeftOut),
    a candidate without a place among the records being left out for room."""
    unit = {p.code: p.unit for p in candidates}
    rows = [IndexRow(code, 'projected', p.oname, unit[code])
            for p in projections for code in [p.code] + p.merged]
    rows += [IndexRow(code, 'geographic', d.name, 'degree') for code, d in geographic.items()]
    rows += [IndexRow(d.code, 'transformation', d.name, 'degree') for d in order if d.code]
    placed = {r.code for r in rows}
    left = dict(left or {})
    for p in candidates:
        if p.code not in placed:
            left[p.code] = LeftOut(p.name, p.unit, 'the projection catalogue, full at %d '
                                   'systems, has no room for it' % (PROJECTION_CAPACITY - 1))
    rows += [IndexRow(code, 'left out', catfile.text(x.name), x.unit, catfile.text(x.reason))
             for code, x in left.items()]
    rows.sort()
    repeated = [code for code, n in Counter(r.code for r in rows).items() if n > 1]
    if repeated:
        raise ValueError('EPSG codes with more than one index row: %s' % repeated[:5])
    return rows


# ---------------------------------------------------------------- output
def lines(ellipsoids, order, projections):
    n = catfile.number
    ell = [[str(e.code), catfile.text(e.name), n(e.a), n(e.b)] for e in ellipsoids]
    dat = [[d.name, catfile.shorten(catfile.text(d.area.description), catfile.AREA_WIDTH),
            str(d.to), d.ellipsoid_name, str(d.shift.method)]
           + [n(v) for v in d.shift.parameters] for d in order]
    # "none" stands for geographic coordinates; choosing it moves the datum
    # list to WGS 84 rather than to whatever datum happens to come first.
    prj = [['none', 'WGS 84', '0', '1', '0', '0', '0', '0', '0', '0']]
    for p in projections:
        prj.append([p.oname, p.datum.name, str(p.method)] + [n(v) for v in p.values])
    return ell, dat, prj


def write_sources(path, ellipsoids, order, projections):
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write('file\tposition\tepsg\tkind\tdetail\n')
        for i, e in enumerate(ellipsoids, 1):
            f.write('ellips\t%d\t%d\tellipsoid\t%s\n' % (i, e.code, e.name))
        for d in order:
            detail = d.operation_name + (' = ' + ' + '.join(map(str, d.steps)) if d.steps else '')
            f.write('datums\t%d\t%d\t%s\t%s\n' % (d.pos, d.code, d.kind, detail))
        f.write('projct\t1\t0\tnone\tgeographic, datum %d (WGS 84 identity)\n'
                % resolve(order, 'WGS 84').pos)
        for i, p in enumerate(projections, 2):
            f.write('projct\t%d\t%d\t%s\tdatum %d (EPSG %d), area covered %.2f%s\n' % (
                i, p.code, 'prime meridian folded' if p.pm_folded else 'projected',
                p.datum.pos, p.datum.code, p.cover,
                '; also ' + ' '.join(map(str, p.merged)) if p.merged else ''))


def write_areas(path, projections):
    """areas.tsv: each projection record's area of use, the largest box of its
    CRS's, for the tests that sweep every record over its area."""
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write('position\tepsg\tsouth\tnorth\twest\teast\n')
        for i, p in enumerate(projections, 2):
            f.write('%d\t%d\t%s\n' % (i, p.code, '\t'.join(repr(float(v)) for v in p.box)))


def used_ellipsoids(order, ells):
    """The ellipsoids the datum records use, in alphabetical order; each record
    takes its ellipsoid's name as written."""
    used = sorted({d.ellipsoid_code for d in order}, key=lambda c: ells[c].name.casefold())
    if len(used) > ELLIPSOID_CAPACITY:
        raise ValueError('%d ellipsoids exceed the capacity of %d'
                         % (len(used), ELLIPSOID_CAPACITY))
    ellipsoids = [ells[c] for c in used]
    if len({folded(e.name) for e in ellipsoids}) != len(ellipsoids):
        raise ValueError('ellipsoid names repeat')
    for d in order:
        d.ellipsoid_name = catfile.text(ells[d.ellipsoid_code].name)
    return ellipsoids


def parameter_rows(method_names, parameter_names):
    """The README's table of which field holds which EPSG parameter, by method name."""
    rows = []
    for method, codes in sorted(PARAMETERS.items(), key=lambda kv: method_names[kv[0]]):
        cells = [parameter_names[c] if c else '' for c in
                 (codes.lat0, codes.lon0, codes.k0, codes.fe, codes.fn, codes.sp1, codes.sp2)]
        rows.append('| %d %s | %s |' % (method, method_names[method], ' | '.join(cells)))
    return rows


def cover_classes(projections):
    return Counter('all' if p.cover >= 1 else 'half or more' if p.cover >= 0.5
                   else 'less than half' for p in projections)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    ap.add_argument('--db', default='/usr/share/proj/proj.db', help='PROJ database')
    ap.add_argument('--out', default=DEFAULT_OUT, help='output folder (default: data/)')
    args = ap.parse_args(argv)
    if not os.path.exists(args.db):
        sys.exit('%s not found: apt-get install -y proj-data' % args.db)
    db = epsg.open_db(args.db)
    meta = epsg.metadata(db)
    units = epsg.Units(db)
    crs = epsg.geodetic_crs(db)
    ells = epsg.ellipsoids(db, units)
    report = []

    records, tally = datum_candidates(db, units, crs, epsg.superseded(db), report)
    name_datums(records)
    order = order_datums(records)
    check_fixed_positions(order)
    ellipsoids = used_ellipsoids(order, ells)
    used = {e.code for e in ellipsoids}

    by_datum = defaultdict(list)
    for d in order:
        by_datum[d.datum_code].append(d)
    left = deprecated_crs(db, units)
    candidates = projection_candidates(db, units, crs, by_datum, report, tally, left)
    projections = select_projections(candidates, tally)
    stray = [p.oname for p in projections if resolve(order, p.datum.name) is not p.datum]
    if stray:
        raise ValueError('datumName resolves to another record: %s' % stray[:5])

    cover = cover_classes(projections)
    report.append('projections by how much of their area their datum record covers: '
                  + ', '.join('%s %d' % kv for kv in sorted(cover.items())))
    geographic = geographic_records(db, crs, by_datum, epsg.prime_meridians(db, units), tally,
                                    left)
    rows = index_rows(candidates, projections, geographic, order, left)
    ell_lines, dat_lines, prj_lines = lines(ellipsoids, order, projections)
    catfile.write_all(args.out, ell_lines, dat_lines, prj_lines)
    write_sources(os.path.join(args.out, 'sources.tsv'), ellipsoids, order, projections)
    write_areas(os.path.join(args.out, 'areas.tsv'), projections)
    catfile.write(os.path.join(args.out, INDEX_FILE),
                  [[str(r.code), r.kind, r.entry, r.unit] + ([r.reason] if r.reason else [])
                   for r in rows])

    method_names = epsg.method_names(db)
    counts = dict(ellipsoids=len(ell_lines), datums=len(dat_lines), projections=len(prj_lines),
                  kinds=Counter(d.kind for d in order),
                  methods=Counter(d.shift.method for d in order),
                  to=Counter(d.to for d in order),
                  projection_methods=Counter('%d %s' % (p.method, method_names[p.method])
                                             for p in projections),
                  parameter_rows=parameter_rows(method_names, epsg.parameter_names(db)),
                  unused_ellipsoids=sum(1 for c, e in ells.items()
                                        if not e.deprecated and c not in used),
                  approximate_units=sorted(units.name[c] for c in units.approximate),
                  cover=cover, index=Counter(r.kind for r in rows),
                  index_units=Counter(r.unit for r in rows if r.kind == 'projected'))
    text = provenance.readme(meta, counts, tally, report)
    with open(os.path.join(args.out, 'README.md'), 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)
    print(provenance.summary(meta, counts, tally, report))


if __name__ == '__main__':
    main()
