#!/usr/bin/env bash
# Writes nadcon_cs2cs_synthetic.txt: the synthetic NADCON lattice of
# nadcon_test.cpp written as an NTv2 file (/tmp/nadcon_synthetic.gsb, the
# same nodes and shifts: rows from the south, each from the east, longitude
# shifts positive west, seconds), and 300 points inside it (a 15 x 20
# lattice, 1 % kept clear of each edge) shifted forward and reverse by PROJ's
# cs2cs, run as a separate program.
#
#   tests/lib/data/make_nadcon_cs2cs.sh   (needs cs2cs and python3)
#
# Lines: latitude longitude forward-latitude forward-longitude
# reverse-latitude reverse-longitude, degrees, east positive.
set -euo pipefail
cd "$(dirname "$0")"
gsb=/tmp/nadcon_synthetic.gsb
python3 - "$gsb" <<'PY'
import struct, sys
# The lattice: 24 columns from 100 W by 0.5 degree, 6 rows from 30 N by 0.25.
NC, NR, XMIN, DX, YMIN, DY = 24, 6, -100.0, 0.5, 30.0, 0.25
las = lambda i, j: 0.5 * i + j * j + 0.25 * i * j        # seconds, north
los = lambda i, j: 0.125 * i * i - j + 0.5 * i * j       # seconds, west
def rec(label, value):
    return label.ljust(8).encode() + value
i4 = lambda v: struct.pack('<i', v) + b'\0' * 4
f8 = lambda v: struct.pack('<d', v)
s8 = lambda t: t.ljust(8).encode()
out = [rec('NUM_OREC', i4(11)), rec('NUM_SREC', i4(11)), rec('NUM_FILE', i4(1)),
       rec('GS_TYPE', s8('SECONDS')), rec('VERSION', s8('NTv2.0')),
       rec('SYSTEM_F', s8('TEST')), rec('SYSTEM_T', s8('TEST'))]
out += [rec(l, f8(6378206.4)) for l in ('MAJOR_F', 'MINOR_F', 'MAJOR_T', 'MINOR_T')]
out += [rec('SUB_NAME', s8('LATTICE')), rec('PARENT', s8('NONE')),
        rec('CREATED', s8('20240101')), rec('UPDATED', s8('20240101')),
        rec('S_LAT', f8(YMIN * 3600)), rec('N_LAT', f8((YMIN + (NR - 1) * DY) * 3600)),
        rec('E_LONG', f8(-(XMIN + (NC - 1) * DX) * 3600)), rec('W_LONG', f8(-XMIN * 3600)),
        rec('LAT_INC', f8(DY * 3600)), rec('LONG_INC', f8(DX * 3600)),
        rec('GS_COUNT', i4(NC * NR))]
for j in range(NR):
    for i in reversed(range(NC)):
        out.append(struct.pack('<4f', las(i, j), los(i, j), 0, 0))
out.append(rec('END', b'\0' * 8))
open(sys.argv[1], 'wb').write(b''.join(out))
PY
source="+proj=longlat +ellps=clrk66 +nadgrids=$gsb"
target="+proj=longlat +datum=WGS84"
points=$(awk 'BEGIN {
  for (i = 0; i < 15; ++i) for (j = 0; j < 20; ++j)
    printf "%.6f %.6f\n", -100 + 11.5 * (0.01 + 0.98 * (j + 0.37) / 20),
                          30 + 1.25 * (0.01 + 0.98 * (i + 0.61) / 15) }')
{
  echo "# NTv2 twin of the lattice: tests/lib/data/make_nadcon_cs2cs.sh writes $gsb"
  echo "# forward: cs2cs -f %.12f $source +to $target"
  echo "# reverse: cs2cs -f %.12f $target +to $source"
  echo "# latitude longitude forward-latitude forward-longitude reverse-latitude reverse-longitude"
  paste <(echo "$points") \
    <(echo "$points" | cs2cs -f %.12f $source +to $target) \
    <(echo "$points" | cs2cs -f %.12f $target +to $source) |
    awk '{ print $2, $1, $4, $3, $7, $6 }'
} >nadcon_cs2cs_synthetic.txt
