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
from fractions import Fraction

import catfile
import epsg
import provenance
from shifts import round_trip_error

ELLIPSOID_CAPACITY, DATUM_CAPACITY, PROJECTION_CAPACITY = 64, 1024, 3072
SHIFT_METHODS = (9603, 9606, 9607)
MOLODENSKY_BADEKAS = {9636: 9607, 1063: 9606}      # M-B method -> Helmert of the same convention
TARGETS = (4326, 4322, 4324)                       # WGS 84, WGS 72, WGS 72BE
TARGETS_SQL = '(%s)' % ', '.join(map(str, TARGETS))
PROJECTION_METHODS = (9807, 9802, 9809)
GREENWICH = 8901
# The program's chain takes WGS 72 -> WGS 84 from position 601 and
# WGS 72BE -> WGS 84 from position 603.
FIXED = {601: (1237, 'WGS 72'), 603: (1240, 'WGS 72BE')}
HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.join(os.path.dirname(os.path.dirname(HERE)), 'data')


def folded(name):
    """A name as the program compares names: blanks trimmed, upper case."""
    return name.strip().upper()


# ---------------------------------------------------------------- datums
def zero(values):
    return all(v == 0 for v in values)


def from_molodensky_badekas(method, t, r, ds, pivot):
    """The Helmert transformation equal to a Molodensky-Badekas one:
    X' = M R (X - P) + P + T  =  M R X + (T + P - M R P)."""
    rx, ry, rz = r
    if method == 9636:          # coordinate frame
        rot = ((1, rz, -ry), (-rz, 1, rx), (ry, -rx, 1))
    else:                       # position vector
        rot = ((1, -rz, ry), (rz, 1, -rx), (-ry, rx, 1))
    m = 1 + ds
    t2 = [t[i] + pivot[i] - m * sum(rot[i][j] * pivot[j] for j in range(3)) for i in range(3)]
    return MOLODENSKY_BADEKAS[method], t2


def compose(db, units, source, target, step_codes):
    """Parameters of a concatenated operation when its steps reduce exactly to
    one shift of the three methods, else the reason why they do not."""
    current, parts = source, []
    for code in step_codes:
        table, row = epsg.operation_tables(db, code)
        if table == 'grid_transformation':
            return 'grid-based step'
        if table == 'other_transformation':
            return {9601: 'longitude rotation step'}.get(row[0], 'step of another method')
        if table != 'helmert_transformation_table':
            return 'step of kind %s' % table
        h = epsg.helmert_row(db, code)
        if h['method_code'] in MOLODENSKY_BADEKAS:
            return 'Molodensky-Badekas step'
        if h['method_code'] not in SHIFT_METHODS:
            return 'step of method %s' % h['method_code']
        t, r, ds, _ = epsg.helmert_parameters(h, units)
        if h['source_crs_code'] == current:
            forward, current = True, h['target_crs_code']
        elif h['target_crs_code'] == current:
            forward, current = False, h['source_crs_code']
        else:
            return 'steps do not chain'
        if not zero(t + r + [ds]):
            parts.append((h['method_code'], t, r, ds, forward))
    if current != target:
        return 'steps do not chain'
    if all(p[0] == 9603 for p in parts):
        # Geocentric translations add up exactly, in either direction.
        t = [sum((p[1][i] if p[4] else -p[1][i]) for p in parts) for i in range(3)]
        return 9603, t, [Fraction(0)] * 3, Fraction(0)
    if len(parts) == 1 and parts[0][4]:
        return parts[0][:4]
    return 'several Helmert steps'


def datum_candidates(db, units, crs, sup, report):
    """Every usable transformation to WGS 84, WGS 72 or WGS 72BE, as a record."""
    records, tally = [], provenance.Tally()
    method_name = epsg.method_names(db)

    def source_ok(code, what):
        src = crs.get(code)
        if src is None or src['type'] != 'geographic 2D':
            tally.left('%s: source is not a geographic 2D CRS' % what)
            return None
        if src['pm'] != GREENWICH:
            tally.left('%s: source has a non-Greenwich prime meridian' % what)
            return None
        return src

    def record(kind, code, name, src, method, to, t, r, ds, acc, version, table, steps=()):
        area_name, area_desc, boxes = epsg.extents(db, table, code)
        return dict(kind=kind, code=code, tname=name, sname=src['name'], dcode=src['datum'],
                    ecode=src['ellipsoid'], method=method, to=to, t=t, r=r, ds=ds,
                    acc=acc if acc is not None else float('inf'), superseded=code in sup,
                    version=version or '', area_name=area_name, area_desc=area_desc,
                    boxes=boxes, steps=list(steps))

    helmert_rows = db.execute(
        '''select %s from helmert_transformation_table
           where auth_name = 'EPSG' and deprecated = 0 and target_crs_auth_name = 'EPSG'
             and target_crs_code in %s''' % (epsg.HELMERT_COLUMNS, TARGETS_SQL)).fetchall()
    worst_helmert = 0.0
    converted = []
    for row in helmert_rows:
        h = epsg.helmert_dict(row)
        method = h['method_code']
        src = source_ok(h['source_crs_code'], 'transformation')
        if src is None:
            continue
        if method not in SHIFT_METHODS and method not in MOLODENSKY_BADEKAS:
            tally.left('transformation: %s' % method_name.get(method, method), src['datum'])
            continue
        t, r, ds, pivot = epsg.helmert_parameters(h, units)
        kind = 'helmert'
        if method in MOLODENSKY_BADEKAS:
            method, t = from_molodensky_badekas(method, t, r, ds, pivot)
            kind = 'molodensky-badekas'
        elif method == 9603 and not zero(r + [ds]):
            raise ValueError('transformation %d: geocentric translations with rotations' % h['code'])
        rec = record(kind, h['code'], h['name'], src, method, h['target_crs_code'], t, r, ds,
                     h['accuracy'], h['operation_version'], 'helmert_transformation')
        if kind == 'helmert':
            worst_helmert = max(worst_helmert, round_trip_error(rec))
            records.append(rec)
        else:
            rec['pivot'] = pivot
            converted.append(rec)

    # A Molodensky-Badekas transformation becomes an exact Helmert with larger
    # translations, and the program's approximate reverse shift errs by about
    # rotation times translation; take it only where that error stays below a
    # hundredth of the accuracy EPSG gives for the transformation.
    for rec in converted:
        err = round_trip_error(rec)
        limit = (rec['acc'] if rec['acc'] != float('inf') else 1.0) / 100
        if err <= limit:
            records.append(rec)
            tally.taken('Molodensky-Badekas transformations rewritten as the equal Helmert')
        else:
            tally.left('transformation: Molodensky-Badekas whose Helmert form would err by more '
                       'than 1/100 of its accuracy in the reverse shift', rec['dcode'])
    report.append('largest forward-then-reverse error of an EPSG Helmert record: %.3f m'
                  % worst_helmert)

    direct = {r['code'] for r in records}
    for code, name, source, target, acc, version in db.execute(
            '''select code, name, source_crs_code, target_crs_code, accuracy, operation_version
               from concatenated_operation
               where auth_name = 'EPSG' and deprecated = 0 and target_crs_auth_name = 'EPSG'
                 and target_crs_code in %s order by code''' % TARGETS_SQL).fetchall():
        steps = [c for (c,) in db.execute(
            '''select step_code from concatenated_operation_step
               where operation_auth_name = 'EPSG' and operation_code = ? order by step_number''',
            (code,))]
        src = source_ok(source, 'concatenated operation')
        if src is None:
            continue
        result = compose(db, units, source, target, steps)
        if isinstance(result, str):
            if (len(steps) == 2 and steps[0] in direct
                    and steps[1] in {c for c, _ in FIXED.values()}):
                result = 'same route as its first step and the WGS 72/72BE record'
            tally.left('concatenated operation: %s' % result, src['datum'])
            continue
        method, t, r, ds = result
        records.append(record('concatenated', code, name, src, method, target, t, r, ds, acc,
                              version, 'concatenated_operation', steps))
        tally.taken('concatenated operations reduced exactly to one shift')

    for table in ('grid_transformation', 'other_transformation'):
        for method, source in db.execute(
                '''select method_code, source_crs_code from %s
                   where auth_name = 'EPSG' and deprecated = 0 and target_crs_auth_name = 'EPSG'
                     and target_crs_code in %s''' % (table, TARGETS_SQL)):
            src = source_ok(source, 'transformation')
            if src is not None:
                kind = 'grid-based, ' if table == 'grid_transformation' else ''
                tally.left('transformation: %s%s' % (kind, method_name.get(method, method)),
                           src['datum'])

    wgs84 = crs[4326]
    records.append(dict(kind='identity', code=0, tname='WGS 84 identity', sname='WGS 84',
                        dcode=wgs84['datum'], ecode=wgs84['ellipsoid'], method=9603, to=4326,
                        t=[Fraction(0)] * 3, r=[Fraction(0)] * 3, ds=Fraction(0), acc=0.0,
                        superseded=False, version='', area_name='World', area_desc='World.',
                        boxes=[(-90.0, 90.0, -180.0, 180.0)], steps=[]))
    return records, tally


def name_datums(records):
    """Readable unique names: "<source CRS> (<area>)", tagged where they repeat."""
    def name(d, tag=''):
        head = catfile.text(d['sname'])
        if d['kind'] == 'identity':
            return head
        room = catfile.NAME_WIDTH - len(head) - len(tag) - 3
        return '%s (%s)%s' % (head, catfile.shorten(catfile.text(d['area_name']), room), tag)

    fixed = {code: nm for code, nm in FIXED.values()}
    for d in records:
        d['name'] = fixed.get(d['code']) or name(d)
    for tag in (lambda d: ' [%s]' % catfile.text(d['version']) if d['version'] else '',
                lambda d: ' [EPSG %d]' % d['code']):
        seen = Counter(folded(d['name']) for d in records)
        for d in records:
            if seen[folded(d['name'])] > 1 and d['code'] not in fixed:
                d['name'] = name(d, tag(d))
    seen = Counter(folded(d['name']) for d in records)
    clash = [n for n, k in seen.items() if k > 1]
    if clash:
        raise ValueError('datum names still repeat: %s' % clash[:5])
    for d in records:
        if len(d['name']) > catfile.NAME_WIDTH:
            raise ValueError('datum name too long: %s' % d['name'])


def order_datums(records):
    """Alphabetical order, with the two fixed records at their positions and
    no record before them whose name contains theirs."""
    by_code = {d['code']: d for d in records}
    fixed = {pos: by_code[code] for pos, (code, _) in FIXED.items()}
    if len(records) < max(FIXED):
        raise ValueError('only %d datum records; positions %s must be filled'
                         % (len(records), sorted(FIXED)))
    if len(records) > DATUM_CAPACITY:
        raise ValueError('%d datum records exceed the capacity of %d'
                         % (len(records), DATUM_CAPACITY))
    queue = sorted((d for d in records if d not in fixed.values()),
                   key=lambda d: (d['name'].casefold(), d['code']))
    order = []
    while len(order) < len(records):
        pos = len(order) + 1
        if pos in fixed:
            order.append(fixed[pos])
            continue
        later_fixed = [folded(f['name']) for p, f in fixed.items() if p > pos]
        pick = next((d for d in queue if not any(n in folded(d['name']) for n in later_fixed)), None)
        if pick is None:
            raise ValueError('position %d can only be filled by a record that would shadow %s'
                             % (pos, later_fixed))
        queue.remove(pick)
        order.append(pick)
    for i, d in enumerate(order, 1):
        d['pos'] = i
    return order


def resolve(order, datum_name):
    """The program's look-up: first datum whose name contains the given text."""
    key = folded(datum_name)
    for d in order:
        if key in folded(d['name']) and (key or d['name'].strip()):
            return d
    return None


# ---------------------------------------------------------------- projections
PARAMETERS = {   # method -> EPSG parameter codes of lat0, lon0, k0, FE, FN, sp1, sp2
    9807: (8801, 8802, 8805, 8806, 8807, None, None),
    9809: (8801, 8802, 8805, 8806, 8807, None, None),
    9802: (8821, 8822, None, 8826, 8827, 8823, 8824),
}


def projection_values(method, params, units, pm_shift):
    """(k0, lat0, lon0, FE, FN, sp1, sp2) in the catalogue's units, exact."""
    lat, lon, k, fe, fn, sp1, sp2 = PARAMETERS[method]

    def get(code, convert):
        value, uom = params[code]
        return convert(value, uom)
    lon0 = get(lon, units.degrees) + pm_shift
    if lon0 > 180:
        lon0 -= 360
    elif lon0 <= -180:
        lon0 += 360
    first = get(sp1, units.degrees) if sp1 else Fraction(0)
    second = get(sp2, units.degrees) if sp2 else Fraction(0)
    # The program wants the standard parallel nearer the equator first; the
    # projection is the same with the two in either order.
    if abs(first) > abs(second):
        first, second = second, first
    return (get(k, units.scale) if k else Fraction(1), get(lat, units.degrees), lon0,
            get(fe, units.metres), get(fn, units.metres), first, second)


def greenwich_twins(db, crs):
    """Geographic CRS with a non-Greenwich prime meridian -> its Greenwich twin,
    from EPSG's longitude rotations."""
    twins = defaultdict(list)
    for src, tgt in db.execute(
            '''select source_crs_code, target_crs_code from other_transformation
               where auth_name = 'EPSG' and method_code = 9601 and deprecated = 0 order by code'''):
        if src in crs and tgt in crs and crs[tgt]['pm'] == GREENWICH:
            twins[src].append(tgt)
    return twins


def projection_candidates(db, units, crs, by_datum, report, tally):
    method_name = epsg.method_names(db)
    pms = epsg.prime_meridians(db, units)
    twins = greenwich_twins(db, crs)
    rows = db.execute(
        '''select p.code, p.name, p.geodetic_crs_code, c.method_code, %s,
                  a.uom_code
           from projected_crs p
           join conversion_table c on c.auth_name = p.conversion_auth_name and c.code = p.conversion_code
           left join axis a on a.coordinate_system_auth_name = p.coordinate_system_auth_name
                and a.coordinate_system_code = p.coordinate_system_code and a.coordinate_system_order = 1
           where p.auth_name = 'EPSG' and p.deprecated = 0
           order by p.code''' % epsg.PARAMETER_COLUMNS).fetchall()
    out = []
    for r in rows:
        code, name, gcode, method = r[:4]
        if method not in PROJECTION_METHODS:
            tally.other_method(method_name.get(method, method))
            continue
        params = {r[4 + 3 * i]: (r[5 + 3 * i], r[6 + 3 * i]) for i in range(7) if r[4 + 3 * i]}
        base = crs[gcode]
        pm_shift = Fraction(0)
        if base['pm'] != GREENWICH:
            twin = twins.get(gcode)
            if not twin:
                tally.left('projected CRS: non-Greenwich prime meridian without a Greenwich twin')
                continue
            pm_shift = pms[base['pm']]['degrees']
            base = crs[twin[0]]
        candidates = by_datum.get(base['datum'])
        if not candidates:
            tally.left('projected CRS: its datum has %s' % tally.why_no_record(base['datum']))
            continue
        _, _, boxes = epsg.extents(db, 'projected_crs', code)

        def score(d):
            cover = round(epsg.coverage(boxes, d['boxes']), 2)
            return (-cover, d['pos'] not in FIXED, d['superseded'], d['acc'], d['to'] != 4326,
                    sum(epsg.box_area(b) for b in d['boxes']), d['code'])
        best = min(candidates, key=score)
        cover = -score(best)[0]
        if cover == 0:
            tally.left('projected CRS: no transformation of its datum covers its area')
            continue
        out.append(dict(code=code, name=name, method=method, datum=best, cover=cover,
                        values=projection_values(method, params, units, pm_shift),
                        metric=r[25] == 9001, pm=base is not crs[gcode], merged=[]))
    report.append('projected CRS with methods %s: %d candidates' % (PROJECTION_METHODS, len(out)))
    return out


def parameter_key(p):
    """Projection parameters to 1e-9 degree, 1e-10 in scale and 1 mm: foot
    definitions of a metre CRS often differ from it by a tenth of a millimetre."""
    k, lat0, lon0, fe, fn, sp1, sp2 = (float(v) for v in p['values'])
    return (p['method'], round(k, 10), round(lat0, 9), round(lon0, 9), round(fe, 3),
            round(fn, 3), round(sp1, 9), round(sp2, 9))


def shift_key(d):
    return (d['ecode'], d['to'], d['method']) + tuple(float(v) for v in d['t'] + d['r'] + [d['ds']])


def family(p):
    """"NAD83(HARN) / Texas South" -> "NAD83": the datum family of a CRS name."""
    return re.split(r'[ (]', p['name'].split(' / ')[0])[0].casefold()


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
            head['merged'] += [q['code']] + q['merged']
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
                  key=lambda p: (p['datum']['pos'],) + parameter_key(p),
                  prefer=lambda p: (not p['metric'], len(p['name']), p['code']))
    tally.merged('projected CRSs equal to another on the same datum record to 1 mm and '
                 '1e-9 degree (foot/metre twins and the like)', len(candidates) - len(twins))
    kept = merge(twins,
                 key=lambda p: (family(p),) + shift_key(p['datum']) + parameter_key(p),
                 prefer=lambda p: (len(p['name'].split(' / ')[0]), not p['metric'], p['code']))
    tally.merged('projected CRSs computing the same as one of the same datum family '
                 '(same ellipsoid, shift and projection)', len(twins) - len(kept))
    room = PROJECTION_CAPACITY - 1
    if len(kept) > room:
        kept.sort(key=lambda p: (p['cover'] < 0.5, not p['metric'], p['datum']['superseded'],
                                 p['code']))
        tally.left('projected CRS: no room within the capacity', n=len(kept) - room)
        kept = kept[:room]
    for p in kept:
        p['oname'] = catfile.text(projection_name(catfile.text(p['name'])))
        if len(p['oname']) > catfile.NAME_WIDTH:
            raise ValueError('projection name too long: %s' % p['oname'])
    names = Counter(folded(p['oname']) for p in kept)
    if max(names.values()) > 1 or 'NONE' in names:
        raise ValueError('projection names repeat: %s' % [n for n, k in names.items() if k > 1])
    kept.sort(key=lambda p: (p['oname'].casefold(), p['code']))
    return kept


# ---------------------------------------------------------------- output
def lines(ellipsoids, order, projections):
    n = catfile.number
    ell = [[str(e['code']), catfile.text(e['name']), n(e['a']), n(e['b'])] for e in ellipsoids]
    dat = [[d['name'], catfile.shorten(catfile.text(d['area_desc']), catfile.AREA_WIDTH),
            str(d['to']), d['ellipsoid_name'], str(d['method'])]
           + [n(v) for v in d['t'] + d['r'] + [d['ds']]] for d in order]
    # "none" stands for geographic coordinates; choosing it moves the datum
    # list to WGS 84 rather than to whatever datum happens to come first.
    prj = [['none', 'WGS 84', '0', '1', '0', '0', '0', '0', '0', '0']]
    for p in projections:
        k, lat0, lon0, fe, fn, sp1, sp2 = p['values']
        prj.append([p['oname'], p['datum']['name'], str(p['method'])]
                   + [n(v) for v in (k, lat0, lon0, fe, fn, sp1, sp2)])
    return ell, dat, prj


def write_sources(path, ellipsoids, order, projections):
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write('file\tposition\tepsg\tkind\tdetail\n')
        for i, e in enumerate(ellipsoids, 1):
            f.write('ellips\t%d\t%d\tellipsoid\t%s\n' % (i, e['code'], e['name']))
        for d in order:
            detail = d['tname'] + (' = ' + ' + '.join(map(str, d['steps'])) if d['steps'] else '')
            f.write('datums\t%d\t%d\t%s\t%s\n' % (d['pos'], d['code'], d['kind'], detail))
        f.write('projct\t1\t0\tnone\tgeographic, datum %d (WGS 84 identity)\n'
                % resolve(order, 'WGS 84')['pos'])
        for i, p in enumerate(projections, 2):
            f.write('projct\t%d\t%d\t%s\tdatum %d (EPSG %d), area covered %.2f%s\n' % (
                i, p['code'], 'prime meridian folded' if p['pm'] else 'projected',
                p['datum']['pos'], p['datum']['code'], p['cover'],
                '; also ' + ' '.join(map(str, p['merged'])) if p['merged'] else ''))


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
    for pos, (code, name) in FIXED.items():
        if order[pos - 1]['code'] != code or resolve(order, name) is not order[pos - 1]:
            raise ValueError('position %d does not hold %s' % (pos, name))

    used = sorted({d['ecode'] for d in order}, key=lambda c: ells[c]['name'].casefold())
    if len(used) > ELLIPSOID_CAPACITY:
        raise ValueError('%d ellipsoids exceed the capacity of %d' % (len(used), ELLIPSOID_CAPACITY))
    ellipsoids = [ells[c] for c in used]
    if len({folded(e['name']) for e in ellipsoids}) != len(ellipsoids):
        raise ValueError('ellipsoid names repeat')
    for d in order:
        d['ellipsoid_name'] = catfile.text(ells[d['ecode']]['name'])

    by_datum = defaultdict(list)
    for d in order:
        by_datum[d['dcode']].append(d)
    candidates = projection_candidates(db, units, crs, by_datum, report, tally)
    projections = select_projections(candidates, tally)
    stray = [p['oname'] for p in projections if resolve(order, p['datum']['name']) is not p['datum']]
    if stray:
        raise ValueError('datumName resolves to another record: %s' % stray[:5])

    cover = Counter('all' if p['cover'] >= 1 else 'half or more' if p['cover'] >= 0.5
                    else 'less than half' for p in projections)
    report.append('projections by how much of their area their datum record covers: '
                  + ', '.join('%s %d' % kv for kv in sorted(cover.items())))
    ell_lines, dat_lines, prj_lines = lines(ellipsoids, order, projections)
    catfile.write_all(args.out, ell_lines, dat_lines, prj_lines)
    write_sources(os.path.join(args.out, 'sources.tsv'), ellipsoids, order, projections)

    counts = dict(ellipsoids=len(ell_lines), datums=len(dat_lines), projections=len(prj_lines),
                  kinds=Counter(d['kind'] for d in order),
                  methods=Counter(d['method'] for d in order),
                  to=Counter(d['to'] for d in order),
                  projection_methods=Counter(p['method'] for p in projections),
                  unused_ellipsoids=sum(1 for c, e in ells.items()
                                        if not e['deprecated'] and c not in used),
                  approximate_units=sorted(units.name[c] for c in units.approximate),
                  cover=cover)
    text = provenance.readme(meta, counts, tally, report)
    with open(os.path.join(args.out, 'README.md'), 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)
    print(provenance.summary(meta, counts, tally, report))


if __name__ == '__main__':
    main()
