#!/usr/bin/env python3
"""Tests of the generator's conversions and of the checker's power to find
faults, and, where proj.db is installed, of the shipped files against EPSG
and a fresh generation.

    python3 tools/catalogues/test_catalogues.py
"""
import io
import math
import os
import random
import shutil
import sys
import tempfile
import unittest
from contextlib import redirect_stdout
from fractions import Fraction
from types import SimpleNamespace

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import catfile    # noqa: E402
import check      # noqa: E402
import check_epsg  # noqa: E402
import epsg       # noqa: E402
import generate   # noqa: E402
import shifts     # noqa: E402


class Conversions(unittest.TestCase):
    def test_packed_dms_is_decoded_exactly(self):
        self.assertEqual(epsg.dms_degrees(52.0922178), 52 + Fraction(9, 60) + Fraction('22.178') / 3600)
        self.assertEqual(epsg.dms_degrees(-9.0754862), -(9 + Fraction(7, 60) + Fraction('54.862') / 3600))
        self.assertEqual(epsg.dms_degrees(4.3), Fraction(9, 2))           # 4 degrees 30 minutes
        self.assertEqual(epsg.dms_degrees(-0.3), Fraction(-1, 2))
        self.assertEqual(epsg.dms_degrees(27.5), Fraction(2783, 100) + Fraction(1, 300))  # 27 50'
        with self.assertRaises(ValueError):
            epsg.dms_degrees(10.61)                                      # 61 minutes

    def test_units_keep_published_values(self):
        u = epsg.Units()
        self.assertEqual(float(u.degrees(49, 9102)), 49.0)
        self.assertEqual(float(u.degrees(38, 9105)), 34.2)               # grads
        self.assertEqual(float(u.metres(2000000, 9003)), 609601.2192024384)
        self.assertEqual(float(u.metres(1968500, 9003)), 600000.0)
        self.assertEqual(float(u.metres(10, 9002)), 3.048)
        self.assertEqual(float(u.radians(1, 9104)), math.pi / 648000)
        self.assertEqual(float(u.scale(-20.489, 9202)), -20.489e-6)
        with self.assertRaises(ValueError):
            u.metres(1, 9099)                                            # no factor known offline

    def test_numbers_read_back_exactly_and_plainly(self):
        rnd = random.Random(4)
        values = [0.0, -0.0, 1e-7, -2.6858677933468294e-06, 400000.0, 609601.2192024384,
                  0.9996012717, 6356752.314245179, 1e22, 5e-324]
        values += [rnd.uniform(-1e7, 1e7) * 10 ** rnd.randint(-12, 0) for _ in range(2000)]
        for x in values:
            text = catfile.number(x)
            self.assertRegex(text, r'\A-?\d+(\.\d+)?\Z')
            self.assertEqual(float(text), x)
        self.assertEqual(catfile.number(-0.0), '0')
        self.assertEqual(catfile.number(400000.0), '400000')
        with self.assertRaises(ValueError):
            catfile.number(float('nan'))

    def test_texts_fit_the_format(self):
        t = catfile.text('"Ile; Łódź"\r\n\tWarszawa ő –')
        self.assertNotIn(';', t)
        self.assertFalse(t.startswith('"') or t.endswith('"'))
        self.assertEqual(t, "'Ile, L\u00f3dz' Warszawa o \u2013")
        t.encode('cp1252')
        short = catfile.shorten('Europe - west, Austria, Belgium, Denmark, Finland', 30)
        self.assertLessEqual(len(short), 30)
        self.assertTrue(short.endswith('...'))


class Shifts(unittest.TestCase):
    P = [4000000.0, 1000000.0, 4800000.0]

    def test_translations_forward_and_back(self):
        t = [100.0, -50.0, 25.0]
        moved = shifts.forward(9603, t, [0.0] * 3, 0.0, self.P)
        self.assertEqual(moved, [4000100.0, 999950.0, 4800025.0])
        self.assertEqual(shifts.reverse(9603, t, [0.0] * 3, 0.0, moved), self.P)

    def test_conventions_turn_opposite_ways(self):
        r = [1e-6, -2e-6, 3e-6]
        pv = shifts.forward(9606, [0.0] * 3, r, 0.0, self.P)
        cf = shifts.forward(9607, [0.0] * 3, r, 0.0, self.P)
        for a, b, p in zip(pv, cf, self.P):
            self.assertAlmostEqual(a - p, p - b, places=6)

    def test_molodensky_badekas_equals_its_helmert_form(self):
        t = [Fraction(v) for v in ('-145.907', '505.034', '685.756')]
        r = [Fraction(v) * epsg.PI / 648000 for v in ('-1.162', '2.347', '1.592')]
        ds = Fraction('6.342') / 10 ** 6
        pivot = [Fraction(v) for v in ('-3159521.31', '4068151.32', '3748113.85')]
        point = [-3100000.0, 4000000.0, 3800000.0]
        for mb, helmert in ((9636, 9607), (1063, 9606)):
            method, t2 = generate.from_molodensky_badekas(mb, t, r, ds, pivot)
            self.assertEqual(method, helmert)
            # Molodensky-Badekas: rotate and scale about the pivot.
            about = [p - float(q) for p, q in zip(point, pivot)]
            turned = shifts.forward(helmert, [0.0] * 3, [float(v) for v in r], float(ds), about)
            expected = [a + float(q) + float(s) for a, q, s in zip(turned, pivot, t)]
            got = shifts.forward(method, [float(v) for v in t2], [float(v) for v in r], float(ds), point)
            for a, b in zip(got, expected):
                self.assertAlmostEqual(a, b, places=6)


def record(name, code=None):
    return SimpleNamespace(name=name,
                           code=code if code is not None else abs(hash(name)) % 10 ** 6 + 10 ** 6)


class Order(unittest.TestCase):
    def test_fixed_positions_and_no_stealing(self):
        records = [record('Datum %04d' % i) for i in range(700)]
        records += [record('AAA WGS 72 early'), record('AAB WGS 72BE early'),
                    record('WGS 72', 1237), record('WGS 72BE', 1240)]
        order = generate.order_datums(records)
        self.assertEqual(len(order), len(records))
        self.assertEqual(order[600].code, 1237)
        self.assertEqual(order[602].code, 1240)
        self.assertIs(generate.resolve(order, 'WGS 72'), order[600])
        self.assertIs(generate.resolve(order, 'wgs 72be '), order[602])
        names = [d.name for d in order]
        self.assertEqual(names[:2], ['Datum 0000', 'Datum 0001'])    # the two were deferred

    def test_too_few_records_to_reach_the_fixed_positions(self):
        records = [record('Datum %d' % i) for i in range(100)]
        records += [record('WGS 72', 1237), record('WGS 72BE', 1240)]
        with self.assertRaises(ValueError):
            generate.order_datums(records)

    def test_lookup_takes_the_first_containing_name(self):
        order = [record('ED50 (Spain) [x]'), record('ED50 (Spain)'), record('  ')]
        self.assertIs(generate.resolve(order, 'ed50 (spain)'), order[0])
        self.assertIs(generate.resolve(order, ''), order[0])
        self.assertIsNone(generate.resolve(order, 'ED79'))


class Index(unittest.TestCase):
    def test_merged_codes_keep_their_own_unit_and_codes_stay_unique(self):
        metre = SimpleNamespace(code=32140, unit='metre', oname='NAD83 / Texas South Central',
                                merged=[2278], meridian=False)
        foot = SimpleNamespace(code=2278, unit='US survey foot')
        datum = SimpleNamespace(code=1314, name='OSGB36 (UK)')
        identity = SimpleNamespace(code=0, name='WGS 84')
        # A candidate that found no place among the records is left out for room.
        crowded = SimpleNamespace(code=2277, unit='US survey foot', name='NAD83 / Texas Central',
                                  merged=[])
        left = {3857: generate.LeftOut('WGS 84 / Pseudo-Mercator', 'metre', 'its method')}
        rows = generate.index_rows([metre, foot, crowded], [metre], {4326: identity},
                                   [datum, identity], left)
        self.assertEqual([tuple(r) for r in rows], [
            (1314, 'transformation', 'OSGB36 (UK)', 'degree', ''),
            (2277, 'left out', 'NAD83 / Texas Central', 'US survey foot',
             'the projection catalogue, full at 4095 systems, has no room for it'),
            (2278, 'projected', 'NAD83 / Texas South Central', 'US survey foot', ''),
            (3857, 'left out', 'WGS 84 / Pseudo-Mercator', 'metre', 'its method'),
            (4326, 'geographic', 'WGS 84', 'degree', ''),
            (32140, 'projected', 'NAD83 / Texas South Central', 'metre', '')])
        with self.assertRaises(ValueError):
            generate.index_rows([metre, foot], [metre], {1314: datum}, [datum])
        with self.assertRaises(ValueError):
            generate.index_rows([metre, foot], [metre], {}, [], {2278: left[3857]})


DATA = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                    'data')


PROJ_DB = '/usr/share/proj/proj.db'


@unittest.skipUnless(os.path.exists(PROJ_DB), 'needs proj.db (apt-get install proj-data)')
class AgainstEpsg(unittest.TestCase):
    def test_shipped_files_match_epsg(self):
        out = io.StringIO()
        with redirect_stdout(out):
            rc = check.main(['--data', DATA, '--db', PROJ_DB])
        self.assertEqual(rc, 0, out.getvalue())

    def test_a_left_out_row_needs_a_reason_that_epsg_bears_out(self):
        # EPSG 27700 (OSGB36 / British National Grid) is live and Transverse
        # Mercator on a datum with records; 3785 is deprecated for 3857.
        epsg = check_epsg.Epsg(PROJ_DB)
        datums = {epsg.crs_datum(4277)[0], epsg.crs_datum(4326)[0]}
        cases = [
            # The program computes Popular Visualisation Pseudo Mercator.
            (3857, 'WGS 84 / Pseudo-Mercator', 'metre',
             'its projection method, Popular Visualisation Pseudo Mercator, is not computed by '
             'this version'),
            (27700, 'OSGB36 / British National Grid', 'metre',
             'its datum, Ordnance Survey of Great Britain 1936, has no transformation to WGS 84'),
            (3785, 'Popular Visualisation CRS / Mercator', 'metre', 'EPSG has deprecated it'),
            (3785, 'Popular Visualisation CRS / Mercator', 'foot',
             'EPSG has deprecated it in favour of EPSG:3857'),
            (4807, 'NTF (Paris)', 'degree', 'its datum, NTF, has no transformation'),
            (1314, 'OSGB36 to WGS 84 (6)', 'degree', 'EPSG has deprecated it'),
        ]
        for code, name, unit, reason in cases:
            with self.subTest(code=code, reason=reason):
                faults = check.Faults()
                check_epsg.compare_left_out(epsg, code, name, unit, reason, datums, faults)
                self.assertEqual(len(faults), 1, faults)

    def test_grid_and_meridian_records_against_epsg(self):
        """A spoilt grid or longitude rotation record that EPSG shows wrong,
        on a fresh copy."""
        def field(k, value):
            return lambda f: f.__setitem__(k, value)

        def replace(k, old, new):
            return lambda f: f.__setitem__(k, f[k].replace(old, new))

        cases = [
            # NAD83(HARN) to WGS 84 (3) is published in the coordinate-frame
            # convention; the record must hold it turned.
            ('datums.txt', 'NAD83 (USA - Arizona', field(8, '-0.000000125033'), 'onward'),
            ('datums.txt', 'NAD27 (USA - CONUS including EEZ) [NGS',
             replace(1, 'conus.las|', 'alaska.las|'), 'file'),
            # LINZ's grid leads to NZGD2000, on GRS 1980.
            ('datums.txt', 'NZGD49 (New Zealand - onshore and nearshore) [OSG',
             replace(1, '|GRS 1980|', '|WGS 84|'), 'ellipsoids'),
            ('projct.txt', 'Lisbon 1890 (Lisbon);', field(5, '-9.1319061'), 'meridian'),
            ('projct.txt', 'Bern 1898 (Bern);',
             field(1, 'CH1903+ (Europe - Liechtenstein and Switzerland)'), 'Greenwich twin'),
        ]
        for name, start, change, fault in cases:
            with self.subTest(start=start):
                with tempfile.TemporaryDirectory() as spoilt:
                    for f in ('ellips.txt', 'datums.txt', 'projct.txt', 'sources.tsv',
                              'epsg-index.txt'):
                        shutil.copy(os.path.join(DATA, f), spoilt)
                    path = os.path.join(spoilt, name)
                    with open(path, 'rb') as text:
                        lines = text.read().decode('cp1252').split('\r\n')
                    i = next(i for i, l in enumerate(lines) if l.startswith(start))
                    f = lines[i].split(';')
                    change(f)
                    lines[i] = ';'.join(f)
                    with open(path, 'wb') as text:
                        text.write('\r\n'.join(lines).encode('cp1252'))
                    out = io.StringIO()
                    with redirect_stdout(out):
                        rc = check.main(['--data', spoilt, '--db', PROJ_DB])
                    self.assertEqual(rc, 1, out.getvalue())
                    self.assertIn(fault, out.getvalue())

    def test_shipped_files_are_what_the_generator_makes(self):
        with tempfile.TemporaryDirectory() as out_dir:
            with redirect_stdout(io.StringIO()):
                generate.main(['--db', PROJ_DB, '--out', out_dir])
            for name in sorted(os.listdir(out_dir)):
                with open(os.path.join(out_dir, name), 'rb') as made, \
                        open(os.path.join(DATA, name), 'rb') as shipped:
                    self.assertTrue(made.read() == shipped.read(),
                                    '%s differs from a fresh generation' % name)


def load_limit_faults(E, D, P):
    """What the program's loader would refuse in the records: its ranges and
    its name look-ups, stated here once more so that a regenerated file that
    the program would not start with is caught before it ships."""
    faults = []
    for e in E:
        if not 6.2e6 < e[3] <= e[2] < 6.5e6:
            faults.append('ellipsoid %s: axes %r, %r' % (e[1], e[2], e[3]))
    ellipsoid_names = {check.key(e[1]) for e in E}
    for d in D:
        if check.key(d[3]) not in ellipsoid_names:
            faults.append('datum %s: ellipsoid %r not found' % (d[0], d[3]))
        if not (all(abs(v) <= 1e4 for v in d[5:8]) and all(abs(v) <= 1e-3 for v in d[8:12])):
            faults.append('datum %s: shift %r' % (d[0], d[5:12]))
    for p in P:
        wanted = check.key(p[1])
        if not wanted or not any(wanted in check.key(d[0]) for d in D if check.key(d[0])):
            faults.append('projection %s: datum %r not found' % (p[0], p[1]))
        k0, lat0, lon0, fe, fn, sp1, sp2 = p[3:]
        # The two further fields: latitudes, but angles up to a turn for the
        # oblique Mercators' azimuth and skew and the zoned grid's zone width,
        # and a height in metres for Colombia Urban.
        further = {9812: 'aa', 9815: 'aa', 9813: 'al', 9824: 'al', 1052: 'ml'}.get(p[2], 'll')
        limits = {'l': 90, 'a': 360, 'm': 1e5}
        if not (0 < k0 <= 2 and -90 <= lat0 <= 90
                and all(abs(v) <= limits[kind] for v, kind in zip((sp1, sp2), further))
                and -180 <= lon0 <= 180 and math.isfinite(fe) and math.isfinite(fn)):
            faults.append('projection %s: values %r' % (p[0], p[3:]))
    return faults


class LoaderLimits(unittest.TestCase):
    def test_shipped_files_load_and_a_spoilt_record_would_not(self):
        read = check.Faults()
        E, D, P = (check.read_catalogue(os.path.join(DATA, name), read)
                   for name in ('ellips.txt', 'datums.txt', 'projct.txt'))
        self.assertEqual(read, [])
        self.assertEqual(load_limit_faults(E, D, P), [])
        E[0] = E[0][:3] + [E[0][2] + 1]                        # b > a
        D[1] = D[1][:10] + [0.842, D[1][11]]                   # arc seconds, not radians
        P[1] = P[1][:4] + [1000] + P[1][5:]                    # latitude of origin
        P[2] = P[2][:1] + ['No such datum'] + P[2][2:]
        self.assertEqual(len(load_limit_faults(E, D, P)), 4)


class CheckerFindsFaults(unittest.TestCase):
    """Each test spoils a copy of the shipped files in one way."""

    def setUp(self):
        self.dir = tempfile.mkdtemp()
        for name in ('ellips.txt', 'datums.txt', 'projct.txt', 'sources.tsv', 'epsg-index.txt'):
            shutil.copy(os.path.join(DATA, name), self.dir)

    def tearDown(self):
        shutil.rmtree(self.dir)

    def run_check(self):
        out = io.StringIO()
        with redirect_stdout(out):
            rc = check.main(['--data', self.dir])
        return rc, out.getvalue()

    def edit(self, name, change):
        path = os.path.join(self.dir, name)
        raw = open(path, 'rb').read()
        open(path, 'wb').write(change(raw))

    def edit_lines(self, name, change):
        def apply(raw):
            lines = raw.decode('cp1252').split('\r\n')
            change(lines)
            return '\r\n'.join(lines).encode('cp1252')
        self.edit(name, apply)

    def assertFault(self, text):
        rc, out = self.run_check()
        self.assertEqual(rc, 1, out)
        self.assertIn(text, out)

    def test_shipped_files_pass(self):
        rc, out = self.run_check()
        self.assertEqual(rc, 0, out)

    def test_line_feeds_alone(self):
        self.edit('ellips.txt', lambda raw: raw.replace(b'\r\n', b'\n'))
        self.assertFault('line feed without CR')

    def test_count_line(self):
        self.edit_lines('ellips.txt', lambda lines: lines.__setitem__(0, str(int(lines[0]) + 1)))
        self.assertFault('record lines')

    def test_capacity(self):
        def grow(lines):
            extra = ['Extra %d;x;4326;WGS 84;9603;0;0;0;0;0;0;0' % i for i in range(1100)]
            lines[-1:-1] = extra
            lines[0] = str(int(lines[0]) + len(extra))
        self.edit_lines('datums.txt', grow)
        self.assertFault('capacity 2048')

    def test_fixed_positions(self):
        def swap(lines):
            lines[601], lines[602] = lines[602], lines[601]
        self.edit_lines('datums.txt', swap)
        self.assertFault('position 601 is not WGS 72')

    def test_unknown_ellipsoid(self):
        def rename(lines):
            f = lines[5].split(';')
            f[3] += ' (XYZ)'
            lines[5] = ';'.join(f)
        self.edit_lines('datums.txt', rename)
        self.assertFault(" (XYZ)' not in ellips.txt")

    def test_published_value(self):
        self.edit_lines('projct.txt', lambda lines: [
            lines.__setitem__(i, l.replace(';0.9996012717;', ';0.9996013;'))
            for i, l in enumerate(lines) if l.startswith('OSGB36 / British National Grid;')])
        self.assertFault('OSGB36 / British National Grid: ')

    def test_datum_name_resolving_elsewhere(self):
        def shorten(lines):
            for i, l in enumerate(lines):
                if l.startswith('ED50 / UTM zone 31N;'):
                    f = l.split(';')
                    f[1] = 'ED50'
                    lines[i] = ';'.join(f)
        self.edit_lines('projct.txt', shorten)
        self.assertFault('ED50 / UTM zone 31N: datumName resolves to')

    def test_quoted_number_and_separator_in_text(self):
        self.edit_lines('ellips.txt', lambda lines: lines.__setitem__(
            1, lines[1].replace(';6377563.396;', ';"6377563.396";')))
        self.edit_lines('datums.txt', lambda lines: lines.__setitem__(
            3, lines[3].replace(' - ', '; ', 1)))
        rc, out = self.run_check()
        self.assertEqual(rc, 1)
        self.assertIn("'\"6377563.396\"' is not a plain number", out)
        self.assertIn('datums.txt record 3: 13 fields', out)

    def test_rotation_in_arc_seconds(self):
        def seconds(lines):
            f = lines[601].split(';')
            f[10] = '0.554'
            lines[601] = ';'.join(f)
        self.edit_lines('datums.txt', seconds)
        self.assertFault('rotations not radians')

    def test_grid_and_meridian_records_spoilt(self):
        """Each way a grid record or a longitude rotation record can go wrong,
        on a fresh copy."""
        def edit_record(name, start, change):
            def apply(lines):
                i = next(i for i, l in enumerate(lines) if l.startswith(start))
                f = lines[i].split(';')
                change(f)
                lines[i] = ';'.join(f)
            return name, apply

        def field(k, value):
            return lambda f: f.__setitem__(k, value)

        cases = [
            ('grid items missing',
             edit_record('datums.txt', 'PD/83 (', lambda f: f.__setitem__(1, f[1].split('|')[-1])),
             'grid record without file|target ellipsoid|source|'),
            ('grid target ellipsoid unknown',
             edit_record('datums.txt', 'PD/83 (', lambda f: f.__setitem__(
                 1, f[1].replace('|WGS 84|', '|WGS 1984|'))),
             "grid target ellipsoid 'WGS 1984' not in ellips.txt"),
            ('NADCON longitude file named',
             edit_record('datums.txt', 'NAD83 (USA - Alabama', lambda f: f.__setitem__(
                 1, f[1].replace('alhpgn.las|', 'alhpgn.los|'))),
             "NADCON grid 'alhpgn.los' is not a .las file"),
            ('grid onward rotation in arc seconds',
             edit_record('datums.txt', 'NAD83 (USA - Arizona', field(8, '0.02579')),
             'rotations not radians'),
            ('published onward shift changed',
             edit_record('datums.txt', 'CH1903 (Europe - Liechtenstein and Switzerland) [BfL-Che]',
                         field(5, '674.4')),
             "no CH1903 ( record of grid CHENYX06a.gsb"),
            ('longitude rotation with a false easting',
             edit_record('projct.txt', 'Lisbon (Lisbon);', field(6, '100')),
             'a longitude rotation holds more than a central meridian'),
            ('meridian given in grads',
             edit_record('projct.txt', 'NTF (Paris);', field(5, '2.5969213')),
             'NTF (Paris): '),
            ('meridian row naming a projected CRS',
             edit_record('epsg-index.txt', '4807;', field(2, 'NTF (Paris) / Lambert zone II')),
             'not a longitude rotation'),
        ]
        for what, (name, change), fault in cases:
            with self.subTest(what):
                shutil.copy(os.path.join(DATA, name), self.dir)
                self.edit_lines(name, change)
                self.assertFault(fault)

    def test_index_spoilt(self):
        """Each way the EPSG code index can go wrong, on a fresh copy."""
        def rows_changed(change):
            def apply(lines):
                rows = lines[1:-1]
                change(rows)
                lines[1:-1] = rows
                lines[0] = str(len(rows))
            return apply

        def row_of(rows, code):
            return next(i for i, r in enumerate(rows) if r.startswith('%d;' % code))

        def edit_row(code, field, value):
            def change(rows):
                i = row_of(rows, code)
                f = rows[i].split(';')
                f[field] = value
                rows[i] = ';'.join(f)
            return change

        def swap(rows):
            rows[10], rows[11] = rows[11], rows[10]

        cases = [
            ('out of order', swap, 'out of order or repeated'),
            ('entry that is no record', edit_row(27700, 2, 'OSGB36 / British Grid'),
             "no projection record named 'OSGB36 / British Grid'"),
            ('merged foot CRS left out', lambda rows: rows.pop(row_of(rows, 2278)),
             'EPSG 2278 has no index row naming it'),
            ('transformation left out', lambda rows: rows.pop(row_of(rows, 1314)),
             'EPSG 1314 has no index row naming it'),
            ('foot CRS in metres', edit_row(2278, 3, 'metre'), 'EPSG 2278: index row'),
            ('geographic CRS in a length unit', edit_row(4326, 3, 'metre'),
             "geographic with unit 'metre'"),
            ('row over', lambda rows: rows.insert(0, '1;transformation;WGS 72;degree'),
             'transformation rows, the records have'),
            ('left out without a reason', edit_row(3785, 4, ''), 'left out without a name'),
            ('a record\'s CRS left out', edit_row(27700, 1, 'left out'),
             'EPSG 27700 has no index row naming it'),
            ('a reason for a CRS that has an entry',
             lambda rows: rows.__setitem__(row_of(rows, 2278), rows[row_of(rows, 2278)] + ';x'),
             'projected with a fifth field'),
            ('a computed method named as the reason',
             lambda rows: rows.__setitem__(row_of(rows, 3857), '3857;left out;WGS 84 / '
                                           'Pseudo-Mercator;metre;its projection method, Popular '
                                           'Visualisation Pseudo Mercator, is not computed by '
                                           'this version'),
             'EPSG 3857: index row'),
        ]
        for what, change, fault in cases:
            with self.subTest(what):
                shutil.copy(os.path.join(DATA, 'epsg-index.txt'), self.dir)
                self.edit_lines('epsg-index.txt', rows_changed(change))
                self.assertFault(fault)


if __name__ == '__main__':
    result = unittest.main(exit=False).result
    failed = len(result.failures) + len(result.errors)
    skipped = len(result.skipped)
    print('%d passed, %d failed, %d skipped' % (result.testsRun - failed - skipped, failed, skipped))
    sys.exit(1 if failed else 0)
