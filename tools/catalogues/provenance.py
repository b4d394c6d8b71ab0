"""The provenance note (data/README.md) and the printed summary of a run."""
import textwrap
from collections import Counter, defaultdict

METHOD = {9603: '9603 geocentric translations', 9606: '9606 Helmert position vector',
          9607: '9607 Helmert coordinate frame', 9615: '9615 NTv2 grid',
          9613: '9613 NADCON grid'}
TARGET = {4326: 'WGS 84', 4322: 'WGS 72', 4324: 'WGS 72BE'}
KIND = {'helmert': 'EPSG transformations of the three methods',
        'concatenated': 'EPSG concatenated operations that reduce exactly to one shift',
        'molodensky-badekas': 'EPSG Molodensky-Badekas transformations, rewritten as the equal Helmert',
        'identity': 'identity record for WGS 84 itself',
        'grid': 'EPSG NTv2 and NADCON grid transformations'}
CAPACITY = {'ellipsoids': 64, 'datums': 2048, 'projections': 4096}


class Tally:
    """Counts of what was taken in, merged and left out, and for each datum
    without a record the kinds of transformation it has instead."""

    def __init__(self):
        self.counts = {'taken': Counter(), 'merged': Counter(), 'left out': Counter()}
        self.instead = defaultdict(set)
        self.methods = Counter()

    def taken(self, what, n=1):
        self.counts['taken'][what] += n

    def merged(self, what, n):
        self.counts['merged'][what] += n

    def left(self, what, datum=None, n=1):
        self.counts['left out'][what] += n
        if datum is not None:
            kind = ('grid-based transformations' if 'grid' in what else
                    'Molodensky-Badekas transformations' if 'Molodensky' in what else
                    'concatenated operations' if what.startswith('concatenated') else
                    'other transformations')
            self.instead[datum].add(kind)

    def other_method(self, method):
        self.methods[method] += 1
        self.counts['left out']['projected CRS: another projection method (see below)'] += 1

    def methods_line(self):
        return ', '.join('%s %d' % (m, n) for m, n in
                         sorted(self.methods.items(), key=lambda kv: (-kv[1], str(kv[0]))))

    def why_no_record(self, datum):
        kinds = self.instead.get(datum)
        if not kinds:
            return 'no transformation to WGS 84, WGS 72 or WGS 72BE'
        return 'only %s to WGS 84' % ' and '.join(sorted(kinds))


def counted(counter, names):
    return '; '.join('%s: %d' % (names.get(k, k), n) for k, n in sorted(counter.items()))


def table(counter, names):
    return '\n'.join('| %s | %d |' % (names.get(k, k), n) for k, n in sorted(counter.items()))


def summary(meta, counts, tally, report):
    out = ['EPSG %s (%s), from PROJ %s' % (meta['EPSG.VERSION'], meta['EPSG.DATE'],
                                           meta.get('PROJ.VERSION', '?')),
           'ellips.txt %d/%d, datums.txt %d/%d, projct.txt %d/%d'
           % (counts['ellipsoids'], CAPACITY['ellipsoids'], counts['datums'],
              CAPACITY['datums'], counts['projections'], CAPACITY['projections']),
           'datum records: ' + counted(counts['kinds'], {}),
           '  methods: ' + counted(counts['methods'], METHOD),
           '  leading to: ' + counted(counts['to'], TARGET),
           'projections: ' + counted(counts['projection_methods'], {}) + ', and "none"',
           '  grid records: ' + '; '.join('%s to %s: %d' % (METHOD[m], t, n) for (m, t), n
                                           in sorted(counts['grid_targets'].items())),
           '  grids Debian installs: ' + '; '.join(counts['grid_installed']),
           'epsg-index.txt: ' + counted(counts['index'], {}),
           '  newly served by grid records and other prime meridians: '
           + counted(counts['newly'], {})]
    out += report
    for category, counter in tally.counts.items():
        out.append(category + ':')
        out += ['  %s: %d' % kv for kv in sorted(counter.items())]
    if tally.methods:
        out.append('  other projection methods: ' + tally.methods_line())
    if counts['approximate_units']:
        out.append('units converted with proj.db factors: ' + ', '.join(counts['approximate_units']))
    return '\n'.join(out)


README = """\
# Catalogue files

`ellips.txt`, `datums.txt` and `projct.txt` are the catalogues the program
reads at start-up. They are generated from the EPSG dataset that PROJ ships in
`proj.db`; do not edit them by hand.

- EPSG dataset **{epsg}**, dated {date} (database of PROJ {proj}, Debian
  package `proj-data`).
- Regenerate (needs `apt-get install -y proj-data`):
  `python3 tools/catalogues/generate.py` writes the three files,
  `epsg-index.txt`, `sources.tsv` and this note.
- Check the committed files (no `proj.db` needed):
  `python3 tools/catalogues/check.py`; with `--db /usr/share/proj/proj.db`
  it also compares every record with EPSG.

## What the files hold

| file | records | capacity |
|---|---|---|
| `ellips.txt` | {n_ell} | 64 |
| `datums.txt` | {n_dat} | 2048 |
| `projct.txt` | {n_prj} (including "none") | 4096 |

- **Ellipsoids**: the ones the datum records use, in alphabetical order
  ({n_unused} other non-deprecated EPSG ellipsoids are used by none and left
  out). Axes in metres; b is computed from a and the inverse flattening
  where EPSG defines the ellipsoid that way.
- **Datums**: one record per transformation to WGS 84, WGS 72 or WGS 72BE
  (counts below). Translations in metres, rotations in radians, the scale
  difference a pure number, each in the sign convention of its own method
  (the method code says which); a grid record (NTv2 or NADCON, see "Grid
  records") holds its onward shift in the position-vector convention. Position 601 is WGS 72 to WGS 84 (EPSG 1237)
  and position 603 WGS 72BE to WGS 84 (EPSG 1240), named "WGS 72" and
  "WGS 72BE"; no earlier record's name contains theirs. The record "WGS 84"
  is the identity for WGS 84 itself. Names are "source CRS (area)", with the
  EPSG operation version or code in brackets where that repeats; the area
  text is EPSG's description of the area of use. The other records are in
  alphabetical order.
- **Projections**: position 1 is "none" (geographic; its `datumName` is
  "WGS 84"), then the projected CRSs of EPSG with every projection method
  EPSG uses for them (counts below), and the geographic CRSs on another prime
  meridian as longitude rotation records (method 9601, see "Geographic
  systems on another prime meridian"), in alphabetical order. Which field holds
  which of the method's parameters is listed under "Projection parameters". Angles in decimal degrees (packed DMS and
  grads decoded), lengths in metres (feet and yards converted with EPSG's
  exact ratios), a prime meridian other than Greenwich added to the central
  meridian. `datumName` is the full name of the chosen datum record: of the
  datum's transformations, the one that covers most of the CRS's area of
  use, then not superseded, then the most accurate (a grid record: its
  accuracy and its onward record's added), then the one leading straight to
  WGS 84; taken first from the shift records (EPSG's Helmert-family
  transformations and the concatenated operations on Greenwich), then from
  the concatenated operations from another prime meridian, then from the
  grid records, the first of these that covers part of the area. A grid
  record whose file Debian's proj-data installs ({debian_grids}) is taken
  in place of that where it covers the area at least as well. The chosen
  record's area covers all of the CRS's area
  for {cover_all} projections, half or more for {cover_half}, less than half
  for {cover_less} (`sources.tsv` gives each).

| datum records | count |
|---|---|
{kinds}
{methods}
{targets}

| grid records | count |
|---|---|
{grid_targets}

| projection records | count |
|---|---|
| none | 1 |
{prj_methods}

Numbers are the shortest decimal that reads back as the same double, never
in exponent form; texts are unquoted, Windows-1252, with "," for ";" and "'"
for a double quote; lines end in CR LF.

`sources.tsv` names the EPSG object behind every record, and for a
projection the datum record chosen, how much of the CRS's area it covers, and
the EPSG CRSs merged into it. `areas.tsv` gives each projection record's
area of use, the largest box of its CRS's, over which the tests sweep it.

## Grid records

A grid record is a `datums.txt` line of method 9615 (NTv2) or 9613
(NADCON). It takes a position from the source datum to the grid's target
datum by the grid file, then on to WGS 84 (or WGS 72, WGS 72BE) by the shift
that the target datum's own record gives. It keeps the twelve fields:

    name;GRIDFILE|TARGET ELLIPSOID|SOURCE|area of use;toCrsCode;ellipsoid;method;tX;tY;tZ;rX;rY;rZ;dS

- `name`: as for every record; it must not repeat another record's name.
- Field 2 starts with three items, each closed by `|`, then the area text:
  `GRIDFILE` the grid file's name (for NADCON the latitude file, `.las`;
  the longitude file is the same name with `.los`); `TARGET ELLIPSOID` the
  name, as in `ellips.txt`, of the ellipsoid of the grid's target datum
  ("WGS 84" where the grid leads to WGS 84 itself); `SOURCE` who publishes
  the grid. The whole field holds at most 1024 characters; no item may hold
  `|` or `;`.
- `toCrsCode`: 4326, or 4322/4324 where the onward shift leads to WGS 72 or
  WGS 72BE (the program goes on through positions 601 and 603).
- `ellipsoid`: the ellipsoid of the grid's source datum, as in `ellips.txt`.
- `method`: 9615 or 9613.
- `tX tY tZ rX rY rZ dS`: the onward shift from the grid's target datum, in
  the position-vector convention (method 9606) whatever the onward record's
  own method: translations in metres, rotations in radians, the scale
  difference a pure number. All 0 where the grid leads to WGS 84 itself.

The program looks for the file in the folder named with `--grids`, in
`$VARNEL_GRIDS`, in the catalogue folders and in `/usr/share/proj`; a grid
it does not find is reported when the record is used. Debian's proj-data
installs these grid files in `/usr/share/proj`: {debian_grids}; a record
names a file by Debian's spelling where EPSG's or PROJ's name differs from
it only in case (EPSG's `CHENyx06a.gsb` is Debian's `CHENYX06a.gsb`), and a
file that PROJ lists as running the other way (`ntf_r93.gsb`, NTF to RGF93,
which EPSG gives as RGF93 to NTF) makes its record run the way of the file.

These records stand for the grids Debian installs:

{grid_installed}

To add your own grid, put the file (say `MYGRID.gsb`, from your datum on the
Bessel 1841 ellipsoid to one on GRS 1980 that you take as WGS 84) into a
catalogue folder, add a line at the end of `datums.txt` and raise the count
on line 1 by one:

    My datum (my county);MYGRID.gsb|GRS 1980|My county survey office|My county.;4326;Bessel 1841;9615;0;0;0;0;0;0;0

A grid to a datum with a shift of its own carries that shift, as this record
of EPSG's CH1903 to CH1903+ grid does with CH1903+ to WGS 84:

    {chenyx06_line}

A line added at the end leaves positions 601 and 603 where they are, and no
projection's `datumName` can land on it before the record it names.

## Geographic systems on another prime meridian

A geographic CRS whose longitudes count from another meridian than
Greenwich (NTF (Paris), Monte Mario (Rome), Bern 1898 (Bern), ...) is a
`projct.txt` record of method 9601 (EPSG "Longitude rotation"):

    name;datumName;9601;1;0;centralMeridian;0;0;0;0

`name` is EPSG's name of the CRS, `datumName` the record its Greenwich twin
(EPSG's longitude rotation's target) takes by the rules for projections,
over the CRS's area of use, and `centralMeridian` the prime meridian's
longitude east of Greenwich in degrees, converted exactly from EPSG's unit
(the Paris meridian, 2.5969213 grads, is 2.33722917 degrees). Every other
field is 0, the scale factor 1. {n_meridian} such records; the EPSG code
index names them with kind `meridian`.

## Projection parameters

A `projct.txt` line is `name;datumName;methodCode;scaleFactor;latitudeOfOrigin;
centralMeridian;falseEasting;falseNorthing;firstStandardParallel;
secondStandardParallel`. The fields hold these EPSG parameters of each
method; an empty cell is 0, or 1 for `scaleFactor`.

| method | latitudeOfOrigin | centralMeridian | scaleFactor | falseEasting | falseNorthing | firstStandardParallel | secondStandardParallel |
|---|---|---|---|---|---|---|---|
{parameter_rows}

Angles are in degrees, lengths (false origins, the projection plane origin
height) in metres. Krovak Modified and its North Orientated form take the
evaluation point and the ten polynomial coefficients EPSG defines for
S-JTSK/05 as constants of the method. The Lambert Conic Conformal (2SP)
standard parallels are written nearer the equator first; all other methods
keep EPSG's order.

## EPSG code index

`epsg-index.txt` gives for an EPSG code the catalogue entry that stands for
it: a count line, then one row a code, sorted by code, `code;kind;entry;unit`,
Windows-1252 with CR LF like the catalogues. The entry is a record name exactly
as written in `projct.txt` (kinds `projected` and `meridian`) or
`datums.txt` (kinds `geographic` and `transformation`); several codes may
name one entry. A CRS
that no entry stands for has a row `code;left out;name;unit;reason`: its EPSG
name, the unit of its axes and, as a sentence, why it was left out.

| kind | rows | what |
|---|---|---|
| `projected` | {ix_projected} | each projection record's CRS and the CRSs merged into it |
| `meridian` | {ix_meridian} | geographic 2D CRSs on another prime meridian: their longitude rotation record in `projct.txt` |
| `geographic` | {ix_geographic} | geographic 2D and 3D CRSs on Greenwich whose datum has a record |
| `transformation` | {ix_transformation} | the EPSG operation behind each datum record (not the identity "WGS 84") |
| `left out` | {ix_left} | projected and geographic CRSs (live or deprecated) that no entry stands for |

| unit of the projected rows | count |
|---|---|
{ix_units}

- `unit` of a projected CRS is the EPSG name of the unit of its axes: a CRS
  merged into its metre twin keeps its own foot unit, and the program's
  length unit does the rest. Geographic and transformation rows give
  `degree`; a meridian row the unit of the CRS's axes (`degree` or `grad`).
- A geographic CRS names the record that a projection on it would get over
  the geographic CRS's own area of use (most of the area covered, then not
  superseded, most accurate, straight to WGS 84), where that record's area
  overlaps its area at all. A geographic 2D CRS on another prime meridian
  has a `meridian` row naming its longitude rotation record.
- Served only by the records of grids and of concatenated operations from
  another prime meridian (none of the shift records serves them):
  {newly}.

## Taken in beyond plain EPSG records

{taken}

Molodensky-Badekas is a Helmert shift about a pivot point; it equals a
Helmert shift with other translations. The program's reverse shift is
approximate (it errs by about rotation times translation), so a rewritten one
is taken only where that error stays below 1/100 of EPSG's accuracy for the
transformation. For comparison, the largest such error among EPSG's own
Helmert records is {worst}.

## Merged

{merged}

The program's length units cover the difference between a foot CRS and its
metre twin; lines of one datum family (NAD83, NAD83(HARN), ...) that give the
same numbers are kept once, under the shortest name, so that the catalogue
fits its capacity.

## Left out, and why

{dropped}
{other_methods}
A grid transformation is taken where its source is a geographic 2D CRS on
Greenwich other than WGS 84 itself and it leads to WGS 84, or to a datum
whose own shift record covers part of its area; a NADCON one needs its
longitude file to be its latitude file with `.los` for `.las`. A
concatenated operation is taken only where its steps reduce exactly to
one shift (translations that add up, or one Helmert step among identities),
after the longitude rotation that opens one from another prime meridian;
one that goes through WGS 72 or WGS 72BE with a record of its own already is
the same route the program takes through positions 601 and 603. A projected
CRS needs a record of its own datum whose area of use overlaps its own.
"""


def bullets(counter):
    return '\n'.join('- %s: %d' % kv for kv in sorted(counter.items())) or '- none'


def readme(meta, counts, tally, report):
    worst = next((r.split(': ', 1)[1] for r in report if r.startswith('largest')), '?')
    return README.format(
        epsg=meta['EPSG.VERSION'], date=meta['EPSG.DATE'], proj=meta.get('PROJ.VERSION', '?'),
        n_ell=counts['ellipsoids'], n_dat=counts['datums'], n_prj=counts['projections'],
        n_unused=counts['unused_ellipsoids'],
        kinds=table(counts['kinds'], KIND),
        methods=table(counts['methods'], {k: 'method ' + v for k, v in METHOD.items()}),
        targets=table(counts['to'], {k: 'leading to ' + v for k, v in TARGET.items()}),
        prj_methods=table(counts['projection_methods'], {}),
        parameter_rows='\n'.join(counts['parameter_rows']),
        taken=bullets(tally.counts['taken']), merged=bullets(tally.counts['merged']),
        dropped=bullets(tally.counts['left out']), worst=worst,
        cover_all=counts['cover']['all'], cover_half=counts['cover']['half or more'],
        cover_less=counts['cover']['less than half'],
        ix_projected=counts['index']['projected'], ix_geographic=counts['index']['geographic'],
        ix_meridian=counts['index']['meridian'], n_meridian=counts['index']['meridian'],
        grid_targets='\n'.join('| %s to %s | %d |' % (METHOD[m], t, n) for (m, t), n
                               in sorted(counts['grid_targets'].items())),
        grid_installed='\n'.join('- `%s`: %s' % tuple(x.split(': ', 1))
                                 for x in counts['grid_installed']),
        debian_grids=', '.join('`%s`' % g for g in counts['debian_grids']),
        chenyx06_line=counts['chenyx06_line'],
        newly=', '.join('%d %s' % (n, k) for k, n in sorted(counts['newly'].items())),
        ix_transformation=counts['index']['transformation'], ix_left=counts['index']['left out'],
        ix_units='\n'.join('| %s | %d |' % kv for kv in
                            sorted(counts['index_units'].items(), key=lambda kv: (-kv[1], kv[0]))),
        other_methods=('\n' + textwrap.fill('The other projection methods: %s.'
                                             % tally.methods_line(), 78) + '\n'
                       if tally.methods else ''))
