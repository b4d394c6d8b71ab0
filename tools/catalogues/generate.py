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

ELLIPSOID_CAPACITY, DATUM_CAPACITY, PROJECTION_CAPACITY = 64, 2048, 4096
SHIFT_METHODS = (9603, 9606, 9607)
NTV2, NADCON = 9615, 9613
GRID_METHODS = (NTV2, NADCON)
LONGITUDE_ROTATION = 9601
MOLODENSKY_BADEKAS = {9636: 9607, 1063: 9606}      # M-B method -> Helmert of the same convention
TARGETS = (4326, 4322, 4324)                       # WGS 84, WGS 72, WGS 72BE
TARGETS_SQL = '(%s)' % ', '.join(map(str, TARGETS))
# Operations of a table that lead to one of the targets.
TO_TARGETS = '''auth_name = 'EPSG' and deprecated = 0 and target_crs_auth_name = 'EPSG'
                and target_crs_code in %s''' % TARGETS_SQL
GREENWICH = 8901
WGS84 = 4326
# The grid files Debian's proj-data installs in /usr/share/proj beside
# proj.db, as it spells them; a record names a grid by this spelling where
# EPSG's or PROJ's name differs only in case.
DEBIAN_GRIDS = ('BETA2007.gsb', 'CHENYX06.gsb', 'CHENYX06_etrs.gsb', 'CHENYX06a.gsb',
                'ntf_r93.gsb', 'nzgd2kgrid0005.gsb')
# EPSG's CH1903 to CH1903+ grid (CHENyx06a), the README's example of a grid
# record with an onward shift.
CH1903_GRID = 15486
# Agencies that publish the grids, by the abbreviation that opens EPSG's
# operation version ("BKG-Deu BeTA2007"); any other is written as EPSG writes it.
AGENCIES = {
    'Auslig': 'Australian Surveying and Land Information Group (Auslig)',
    'BEV': 'Bundesamt für Eich- und Vermessungswesen (BEV)',
    'BfL': 'Bundesamt für Landestopografie swisstopo (BfL)',
    'BKG': 'Bundesamt für Kartographie und Geodäsie (BKG)',
    'DOLA': 'Department of Land Administration, Western Australia (DOLA)',
    'EPSG': 'EPSG Geodetic Parameter Dataset (EPSG)',
    'ESRI': 'Esri (ESRI)',
    'GC': 'Geomatics Canada (GC)',
    'GeoSN': 'Staatsbetrieb Geobasisinformation und Vermessung Sachsen (GeoSN)',
    'IBGE': 'Instituto Brasileiro de Geografia e Estatística (IBGE)',
    'ICC': 'Institut Cartogràfic de Catalunya (ICC)',
    'ICSM': 'Intergovernmental Committee on Surveying and Mapping (ICSM)',
    'IGM': 'Istituto Geografico Militare (IGM)',
    'IGN': 'Instituto Geográfico Nacional (IGN)',
    'IGP': 'Instituto Geográfico Português (IGP)',
    'IOGP': 'International Association of Oil & Gas Producers (IOGP)',
    'ISC': 'Information Services Corporation of Saskatchewan (ISC)',
    'LGL': 'Landesamt für Geoinformation und Landentwicklung Baden-Württemberg (LGL)',
    'LMI': 'Landmælingar Íslands (LMI)',
    'LVGL': 'Landesamt für Vermessung, Geoinformation und Landentwicklung (LVGL)',
    'NGS': 'National Geodetic Survey (NGS)',
    'NSGC': 'Nova Scotia Geomatics Centre (NSGC)',
    'NSGI': 'Nederlandse Samenwerking Geodetische Infrastructuur (NSGI)',
    'OGP': 'International Association of Oil & Gas Producers (OGP)',
    'OSG': 'Office of the Surveyor-General (OSG)',
    'OSGB': 'Ordnance Survey of Great Britain (OSGB)',
    'OSI': 'Ordnance Survey Ireland (OSI)',
    'RGZ': 'Republički geodetski zavod (RGZ)',
    'SGQ': 'Service de la géodésie du Québec (SGQ)',
    'SIR': 'Sistema de Referencia Geocéntrico para las Américas (SIR)',
}


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
    grid: Optional['Grid'] = None   # a grid record's grid; its shift is the onward one
    rotated: bool = False       # a concatenated operation from another prime meridian

    @property
    def method(self):
        """The method code the record is written with."""
        return self.grid.method if self.grid else self.shift.method


@dataclass(eq=False)
class Grid:
    """The grid of a grid record: the file that takes the source datum to the
    grid's target datum, whose own record (`onward`, None for WGS 84 itself)
    then leads on."""
    method: int                 # NTV2 or NADCON
    file: str                   # NTv2 file, or NADCON's latitude file
    target_crs: int             # EPSG geographic CRS the grid leads to
    target_ellipsoid: int       # EPSG ellipsoid of its datum
    agency: str                 # who publishes it, written out
    onward: Optional[DatumRecord]
    reversed: bool              # the file runs from EPSG's target to its source
    target_ellipsoid_name: str = ''   # as written in the record


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

    def rotation(self, source, steps):
        """The Greenwich CRS that a concatenated operation from another prime
        meridian reaches by its first step, an EPSG longitude rotation; None
        where the operation does not start so."""
        src = self.crs.get(source)
        if src is None or src.pm == GREENWICH or not steps:
            return None
        row = self.db.execute(
            '''select source_crs_code, target_crs_code from other_transformation
               where auth_name = 'EPSG' and code = ? and method_code = ?''',
            (steps[0], LONGITUDE_ROTATION)).fetchone()
        if row is None or row[0] != source or row[1] not in self.crs:
            return None
        return row[1] if self.crs[row[1]].pm == GREENWICH else None

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
        start, rest = op.source, steps
        rotated = search.rotation(op.source, steps)
        if rotated is not None:
            start, rest = rotated, steps[1:]
        src = search.source(start, 'concatenated operation')
        if src is None:
            continue
        result = compose(search.db, search.units, start, op.target, rest)
        if isinstance(result, str):
            if len(rest) == 2 and rest[0] in direct and rest[1] in FIXED_NAMES:
                result = 'same route as its first step and the WGS 72/72BE record'
            search.tally.left('concatenated operation: %s' % result, src.datum)
            continue
        rec = search.record('concatenated', op._replace(source=start), src, result,
                            'concatenated_operation', steps)
        rec.rotated = rotated is not None
        records.append(rec)
        search.tally.taken('concatenated operations reduced exactly to one shift')
        if rec.rotated:
            search.tally.taken('of these, from another prime meridian through EPSG\'s longitude '
                               'rotation to the Greenwich datum')
    return records


def count_unusable(search):
    """Grid-based and other transformations to a target: never taken, but
    counted, and noted for their datum."""
    for table in ('grid_transformation', 'other_transformation'):
        for method, source in search.db.execute(
                'select method_code, source_crs_code from %s where %s and method_code not in %s'
                % (table, TO_TARGETS, str(GRID_METHODS))):
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


class GridRow(NamedTuple):
    """What a grid record takes from an EPSG grid transformation."""
    code: int
    name: str
    method: int
    source: int
    target: int
    accuracy: Optional[float]
    version: Optional[str]
    file: str
    file2: Optional[str]
    proj_file: Optional[str]    # PROJ's former name of the file, as proj-data installs it
    inverse: bool               # PROJ's file runs from EPSG's target to its source


def grid_rows(db):
    return [GridRow(*row[:-1], bool(row[-1])) for row in db.execute(
        '''select g.code, g.name, g.method_code, g.source_crs_code, g.target_crs_code,
                  g.accuracy, g.operation_version, g.grid_name, g.grid2_name,
                  a.old_proj_grid_name, coalesce(a.inverse_direction, 0)
           from grid_transformation g
           left join grid_alternatives a on a.original_grid_name = g.grid_name
           where g.auth_name = 'EPSG' and g.deprecated = 0 and g.method_code in %s
           order by g.code''' % str(GRID_METHODS)).fetchall()]


def debian_spelling(name):
    """A grid file's name as Debian's proj-data installs it, where it does."""
    return next((d for d in DEBIAN_GRIDS if d.casefold() == name.casefold()), name)


def agency(version):
    """The publishing agency of an EPSG operation version, written out."""
    abbreviation = (version or '').split('-')[0].strip()
    return AGENCIES.get(abbreviation, abbreviation)


def onward_shift(onward):
    """The shift of a grid's onward record in the position-vector convention:
    coordinate-frame rotations negated, translations alone with zero rotations
    and scale; zero for none."""
    zero3 = [Fraction(0)] * 3
    if onward is None:
        return Shift(9606, zero3, zero3, Fraction(0))
    s = onward.shift
    r = [-v for v in s.r] if s.method == 9607 else list(s.r)
    return Shift(9606, list(s.t), r, s.ds)


def grid_records(search, shifts_of, wgs84_datum):
    """Records of the EPSG NTv2 and NADCON transformations from a geographic
    2D CRS on Greenwich to WGS 84, or to a CRS whose datum has a record of
    its own (`shifts_of`: datum -> records) that then leads on. A file that
    PROJ lists as running the other way makes the record run the other way."""
    records = []
    for g in grid_rows(search.db):
        what = 'grid transformation'
        if g.method == NADCON:
            stem = g.file[:-len('.las')]
            if not g.file.endswith('.las') or g.file2 != stem + '.los':
                search.tally.left('%s: NADCON files %s and %s are not a .las and its .los'
                                  % (what, g.file, g.file2), search.crs[g.source].datum
                                  if g.source in search.crs else None)
                continue
            file = g.file
        else:
            file = debian_spelling(g.proj_file or g.file)
        source, target = (g.target, g.source) if g.inverse else (g.source, g.target)
        src = search.source(source, what)
        if src is None:
            continue
        if src.datum == wgs84_datum:
            search.tally.left('%s: source is WGS 84 itself' % what)
            continue
        tgt = search.crs.get(target)
        area = epsg.extents(search.db, 'grid_transformation', g.code)
        onward = None
        if target != WGS84:
            candidates = shifts_of.get(tgt.datum) if tgt else None
            if not candidates:
                # Not a way to WGS 84 at all: the source datum is not noted.
                search.tally.left('%s: its target datum has no shift to WGS 84, WGS 72 or '
                                  'WGS 72BE' % what)
                continue
            onward = best_record(area.boxes, candidates)
            if epsg.coverage(area.boxes, onward.area.boxes) == 0:
                search.tally.left('%s: no shift of its target datum covers its area' % what,
                                  src.datum)
                continue
        for text in (area.description, file, g.version or ''):
            if '|' in text:
                raise ValueError('grid transformation %d: "|" in %r' % (g.code, text))
        op = Operation(g.code, g.name, source, onward.to if onward else WGS84,
                       (g.accuracy if g.accuracy is not None else float('inf'))
                       + (onward.accuracy if onward else 0), g.version)
        rec = search.record('grid', op, src, onward_shift(onward), 'grid_transformation')
        rec.grid = Grid(method=g.method, file=file, target_crs=target,
                        target_ellipsoid=tgt.ellipsoid, agency=agency(g.version),
                        onward=onward, reversed=g.inverse)
        records.append(rec)
        search.tally.taken('grid transformations, %s' % search.method(g.method))
    return records


def datum_candidates(db, units, crs, sup, report):
    """Every usable transformation to WGS 84, WGS 72 or WGS 72BE, as a record."""
    search = DatumSearch(db, units, crs, sup, epsg.method_names(db), provenance.Tally())
    records = helmert_records(search, report)
    records += concatenated_records(search, {d.code for d in records})
    count_unusable(search)
    records.append(identity_record(crs))
    shifts_of = defaultdict(list)
    for d in records:
        shifts_of[d.datum_code].append(d)
    records += grid_records(search, shifts_of, crs[WGS84].datum)
    return records, search.tally


def name_datums(records):
    """Readable unique names: "<source CRS> (<area>)", tagged where they repeat.
    The records of the EPSG shift transformations, of concatenated operations
    on Greenwich and the identity are named first, among themselves; the grid
    records and the concatenated operations from another prime meridian then
    take a tag wherever their name would repeat one of those or each other's,
    so that adding them renames no record."""
    def name(d, tag=''):
        head = catfile.text(d.source_name)
        if d.kind == 'identity':
            return head
        room = catfile.NAME_WIDTH - len(head) - len(tag) - 3
        return '%s (%s)%s' % (head, catfile.shorten(catfile.text(d.area.name), room), tag)

    tags = (lambda d: ' [%s]' % catfile.text(d.version) if d.version else '',
            lambda d: ' [EPSG %d]' % d.code)
    first = [d for d in records if not d.grid and not d.rotated]
    later = [d for d in records if d.grid or d.rotated]
    for d in records:
        d.name = FIXED_NAMES.get(d.code) or name(d)
    for tag in tags:
        seen = Counter(folded(d.name) for d in first)
        for d in first:
            if seen[folded(d.name)] > 1 and d.code not in FIXED_NAMES:
                d.name = name(d, tag(d))
    # A name the first records have, or had before they were tagged.
    taken = {folded(d.name) for d in first} | {folded(name(d)) for d in first}
    for tag in tags:
        seen = Counter(folded(d.name) for d in later)
        for d in later:
            if seen[folded(d.name)] > 1 or folded(d.name) in taken:
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
    meridian: bool = False      # a geographic CRS on another prime meridian (method 9601)
    newly: bool = False         # served only by a grid record or a rotated operation
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
        -area_cover(boxes, d), d.code not in FIXED_NAMES, d.superseded, d.accuracy,
        d.to != 4326, sum(epsg.box_area(b) for b in d.area.boxes), d.code))


def installed_grid(d):
    """Whether a record's grid file is one Debian's proj-data installs."""
    return d.grid is not None and d.grid.file in DEBIAN_GRIDS


def choose_record(boxes, candidates, serves):
    """The record a CRS over the area `boxes` takes from its datum's records,
    None where none serves it (`serves(boxes, record)`): the best of the
    first of these groups that has a record serving it: the EPSG shift
    transformations and the concatenated operations on Greenwich, then the
    concatenated operations from another prime meridian, then the grid
    records; and in place of that, the best of the records whose grid
    Debian installs, where that serves it and covers the area at least as
    well."""
    best = None
    for group in ([d for d in candidates if not d.grid and not d.rotated],
                  [d for d in candidates if d.rotated],
                  [d for d in candidates if d.grid]):
        if group:
            best = best_record(boxes, group)
            if serves(boxes, best):
                break
            best = None
    installed = [d for d in candidates if installed_grid(d)]
    if installed:
        pick = best_record(boxes, installed)
        if serves(boxes, pick) and (best is None
                                    or area_cover(boxes, pick) >= area_cover(boxes, best)):
            best = pick
    return best


def newly_served(boxes, candidates, serves):
    """Whether none of the EPSG shift transformations and concatenated
    operations on Greenwich serves the area: the CRS comes in only by a grid
    record or a concatenated operation from another prime meridian."""
    return not any(serves(boxes, d) for d in candidates if not d.grid and not d.rotated)


def covers_part(boxes, d):
    """A projection needs a record that covers a hundredth of its area."""
    return area_cover(boxes, d) > 0


def overlaps(boxes, d):
    """A geographic CRS takes any record that overlaps its area: the record is
    all there is."""
    return epsg.coverage(boxes, d.area.boxes) > 0


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
        best = choose_record(boxes, candidates, covers_part)
        cover = area_cover(boxes, best) if best else 0
        if cover == 0:
            tally.left('projected CRS: no transformation of its datum covers its area')
            leave(no_cover_reason(base))
            continue
        out.append(Projection(code=row.code, name=row.name, method=row.method, datum=best,
                              cover=cover,
                              values=projection_values(row.method, row.params, units, pm_shift),
                              metric=row.axis_uom == 9001, unit=units.name[row.axis_uom],
                              pm_folded=pm_folded, box=max(boxes, key=epsg.box_area),
                              newly=newly_served(boxes, candidates, covers_part)))
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
    grid = (d.grid.file, d.grid.target_ellipsoid) if d.grid else ()
    return ((d.ellipsoid_code, d.to, d.method) + grid
            + tuple(float(v) for v in d.shift.parameters))


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


def select_projections(candidates, tally, meridians=()):
    """The projection records: the candidates merged where they compute the
    same, and the longitude rotation records, each kept as it is."""
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
    kept += list(meridians)
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
    kind: str                   # 'projected', 'meridian', 'geographic', 'transformation'
                                # or 'left out'
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


DEGREE_UNITS = (9102, 9122)


def geographic_unit(db, units, code):
    """The EPSG name of the unit of a geographic CRS's axes; "degree" for
    the degree of either EPSG code."""
    row = db.execute(
        '''select a.uom_code from geodetic_crs g join axis a
             on a.coordinate_system_auth_name = g.coordinate_system_auth_name
            and a.coordinate_system_code = g.coordinate_system_code
            and a.coordinate_system_order = 1
           where g.auth_name = 'EPSG' and g.code = ?''', (code,)).fetchone()
    uom = row[0] if row else 9102
    return 'degree' if uom in DEGREE_UNITS else units.name.get(uom, 'unknown')


def meridian_records(db, units, crs, by_datum, tally, left):
    """A record of method 9601 (longitude rotation) for each live geographic
    2D CRS on another prime meridian whose Greenwich twin (EPSG's longitude
    rotation) has a datum record serving its area, chosen as a projection's
    is; `left` takes the others: code -> LeftOut."""
    pms = epsg.prime_meridians(db, units)
    twins = greenwich_twins(db, crs)
    out = []
    for code, g in sorted(crs.items()):
        if g.deprecated or g.type != 'geographic 2D' or g.pm == GREENWICH:
            continue
        unit = geographic_unit(db, units, code)
        twin = twins.get(code)
        # A left-out geographic CRS is in degrees, as every other one is.
        if not twin:
            tally.left('geographic CRS on another prime meridian: no Greenwich twin')
            left[code] = LeftOut(g.name, 'degree', non_greenwich_reason(pms, g))
            continue
        base = crs[twin[0]]
        candidates = by_datum.get(base.datum)
        if not candidates:
            tally.left('geographic CRS on another prime meridian: its datum has %s'
                       % tally.why_no_record(base.datum))
            left[code] = LeftOut(g.name, 'degree', no_record_reason(tally, base))
            continue
        boxes = epsg.extents(db, 'geodetic_crs', code).boxes
        best = choose_record(boxes, candidates, covers_part)
        if best is None:
            tally.left('geographic CRS on another prime meridian: no transformation of its '
                       'datum covers its area')
            left[code] = LeftOut(g.name, 'degree', no_cover_reason(base))
            continue
        zero = Fraction(0)
        out.append(Projection(
            code=code, name=g.name, method=LONGITUDE_ROTATION, datum=best,
            cover=area_cover(boxes, best),
            values=ProjectionValues(k0=Fraction(1), lat0=zero, lon0=pms[g.pm].degrees, fe=zero,
                                    fn=zero, sp1=zero, sp2=zero),
            metric=False, unit=unit, pm_folded=False, box=max(boxes, key=epsg.box_area),
            meridian=True, newly=True))
    return out


def geographic_records(db, crs, by_datum, pms, tally, left, newly):
    """EPSG geographic CRS code (2D and 3D) -> the datum record the catalogue
    uses for it: of its datum's records, the best by the rule a projection's
    record is chosen with, over the geographic CRS's own area of use, where it
    overlaps that area at all. Only CRSs on Greenwich: one on another
    meridian is a longitude rotation record (meridian_records).
    `left` takes the live geographic CRSs without a record: code -> LeftOut;
    `newly` the codes of those served only by the records added with grids
    and other prime meridians."""
    out = {}
    for code, g in sorted(crs.items()):
        if g.deprecated or g.type not in GEOGRAPHIC_TYPES:
            continue
        if g.pm != GREENWICH:
            # A 2D one has a longitude rotation record or is left out by
            # meridian_records.
            if g.type != 'geographic 2D':
                left[code] = LeftOut(g.name, 'degree', 'its longitudes count from the %s '
                                     'meridian, and this version counts them from Greenwich'
                                     % pms[g.pm].name)
            continue
        candidates = by_datum.get(g.datum)
        if not candidates:
            left[code] = LeftOut(g.name, 'degree', no_record_reason(tally, g))
            continue
        boxes = epsg.extents(db, 'geodetic_crs', code).boxes
        # Unlike a projection, which needs a record covering a hundredth of
        # its area, any overlap will do.
        best = choose_record(boxes, candidates, overlaps)
        if best is not None:
            out[code] = best
            if newly_served(boxes, candidates, overlaps):
                newly.add(code)
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
    rows = [IndexRow(code, 'meridian' if p.meridian else 'projected', p.oname, unit[code])
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
    dat = [[d.name, area_field(d), str(d.to), d.ellipsoid_name, str(d.method)]
           + [n(v) for v in d.shift.parameters] for d in order]
    # "none" stands for geographic coordinates; choosing it moves the datum
    # list to WGS 84 rather than to whatever datum happens to come first.
    prj = [['none', 'WGS 84', '0', '1', '0', '0', '0', '0', '0', '0']]
    for p in projections:
        prj.append([p.oname, p.datum.name, str(p.method)] + [n(v) for v in p.values])
    return ell, dat, prj


def area_field(d):
    """A datum record's second field: EPSG's area text, for a grid record
    after its grid file, the ellipsoid of the grid's target datum and the
    publishing agency, each closed by "|"."""
    head = ''
    if d.grid:
        head = '|'.join(catfile.text(t) for t in (d.grid.file, d.grid.target_ellipsoid_name,
                                                  d.grid.agency)) + '|'
    return head + catfile.shorten(catfile.text(d.area.description), catfile.AREA_WIDTH - len(head))


def write_sources(path, ellipsoids, order, projections):
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write('file\tposition\tepsg\tkind\tdetail\n')
        for i, e in enumerate(ellipsoids, 1):
            f.write('ellips\t%d\t%d\tellipsoid\t%s\n' % (i, e.code, e.name))
        for d in order:
            detail = d.operation_name + (' = ' + ' + '.join(map(str, d.steps)) if d.steps else '')
            if d.grid:
                detail += '%s, then %s' % (
                    ' (file run the other way)' if d.grid.reversed else '',
                    'datum %d (EPSG %d)' % (d.grid.onward.pos, d.grid.onward.code)
                    if d.grid.onward else 'none')
            f.write('datums\t%d\t%d\t%s\t%s\n' % (d.pos, d.code, d.kind, detail))
        f.write('projct\t1\t0\tnone\tgeographic, datum %d (WGS 84 identity)\n'
                % resolve(order, 'WGS 84').pos)
        for i, p in enumerate(projections, 2):
            f.write('projct\t%d\t%d\t%s\tdatum %d (EPSG %d), area covered %.2f%s\n' % (
                i, p.code, 'meridian' if p.meridian else
                'prime meridian folded' if p.pm_folded else 'projected',
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
    used = sorted({d.ellipsoid_code for d in order}
                  | {d.grid.target_ellipsoid for d in order if d.grid},
                  key=lambda c: ells[c].name.casefold())
    if len(used) > ELLIPSOID_CAPACITY:
        raise ValueError('%d ellipsoids exceed the capacity of %d'
                         % (len(used), ELLIPSOID_CAPACITY))
    ellipsoids = [ells[c] for c in used]
    if len({folded(e.name) for e in ellipsoids}) != len(ellipsoids):
        raise ValueError('ellipsoid names repeat')
    for d in order:
        d.ellipsoid_name = catfile.text(ells[d.ellipsoid_code].name)
        if d.grid:
            d.grid.target_ellipsoid_name = catfile.text(ells[d.grid.target_ellipsoid].name)
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
    meridians = meridian_records(db, units, crs, by_datum, tally, left)
    projections = select_projections(candidates, tally, meridians)
    stray = [p.oname for p in projections if resolve(order, p.datum.name) is not p.datum]
    if stray:
        raise ValueError('datumName resolves to another record: %s' % stray[:5])

    cover = cover_classes([p for p in projections if not p.meridian])
    report.append('projections by how much of their area their datum record covers: '
                  + ', '.join('%s %d' % kv for kv in sorted(cover.items())))
    newly = {p.code for p in candidates + meridians if p.newly}
    geographic = geographic_records(db, crs, by_datum, epsg.prime_meridians(db, units), tally,
                                    left, newly)
    rows = index_rows(candidates + meridians, projections, geographic, order, left)
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
                  methods=Counter(d.method for d in order),
                  grid_targets=Counter((d.grid.method, 'WGS 84 itself' if d.grid.onward is None
                                        else '%s, then its record to %s' % (
                                            crs[d.grid.target_crs].name,
                                            provenance.TARGET[d.to]))
                                       for d in order if d.grid),
                  grid_installed=sorted('%s: %s' % (d.grid.file, d.name)
                                        for d in order if installed_grid(d)),
                  newly=Counter(r.kind for r in rows if r.code in newly),
                  debian_grids=DEBIAN_GRIDS,
                  chenyx06_line=next((';'.join(line) for d, line in zip(order, dat_lines)
                                      if d.code == CH1903_GRID), ''),
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
