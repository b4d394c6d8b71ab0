#!/usr/bin/env bash
# Writes ntv2_cs2cs_<grid>.txt: 1,000 points spread over each Debian NTv2 grid
# (a 25 x 40 lattice inside its extent, 1 % kept clear of each edge), shifted
# forward and reverse by PROJ's cs2cs, run as a separate program.
#
#   tests/lib/data/make_ntv2_cs2cs.sh   (needs cs2cs and /usr/share/proj/*.gsb)
#
# Lines: latitude longitude forward-latitude forward-longitude
# reverse-latitude reverse-longitude, degrees, east positive.
set -euo pipefail
cd "$(dirname "$0")"
# grid, source ellipsoid, south, north, east-positive west and east limits (degrees)
while read -r grid ellps south north west east; do
  source="+proj=longlat +ellps=$ellps +nadgrids=/usr/share/proj/$grid.gsb"
  target="+proj=longlat +datum=WGS84"
  points=$(awk -v s="$south" -v n="$north" -v w="$west" -v e="$east" 'BEGIN {
    for (i = 0; i < 25; ++i) for (j = 0; j < 40; ++j)
      printf "%.6f %.6f\n", w + (e - w) * (0.01 + 0.98 * (j + 0.5) / 40),
                            s + (n - s) * (0.01 + 0.98 * (i + 0.5) / 25) }')
  {
    echo "# forward: cs2cs -f %.12f $source +to $target"
    echo "# reverse: cs2cs -f %.12f $target +to $source"
    echo "# latitude longitude forward-latitude forward-longitude reverse-latitude reverse-longitude"
    paste <(echo "$points") \
      <(echo "$points" | cs2cs -f %.12f $source +to $target) \
      <(echo "$points" | cs2cs -f %.12f $target +to $source) |
      awk '{ print $2, $1, $4, $3, $7, $6 }'
  } >"ntv2_cs2cs_$grid.txt"
done <<'GRIDS'
BETA2007 bessel 47 55.3 5.5 15.666666666666666
ntf_r93 clrk80ign 41 52 -5.5 10
CHENYX06 bessel 45.466666666666667 48.066666666666667 5.55 11.05
nzgd2kgrid0005 intl -48 -34 166 180
GRIDS
