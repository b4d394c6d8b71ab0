#!/usr/bin/env bash
# varnel against PROJ's cs2cs on the same million British National Grid points
# to ED50 / UTM zone 31N, with identical parameters: the Airy and International
# ellipsoids by their axes, the OSGB 1936 Helmert shift (position vector) and
# the ED50 translations to WGS 84. Runs alternate between the two programs;
# each time is the best of the rounds (whole process, wall clock).
#
#   bash bench/transform/compare_cs2cs.sh [build folder] [lines] [rounds]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
lines=${2:-1000000}
rounds=${3:-3}
varnel="$build/app/cli/varnel"
command -v cs2cs >/dev/null || apt-get install -y -qq proj-bin >/dev/null
[ -x "$varnel" ] || { echo "build $varnel first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
arcsec=4.84813681109536e-6
airy_b=6356256.909237285
intl_b=6356911.946127946
python3 - "$work" "$lines" "$arcsec" "$airy_b" "$intl_b" <<'EOF'
import sys
work, lines, arcsec, airy_b, intl_b = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), sys.argv[4], sys.argv[5]
def write(name, rows):
    with open(f"{work}/{name}", "w", newline="") as f:
        f.write(f"{len(rows)}\r\n" + "".join(r + "\r\n" for r in rows))
write("ellips.txt", [f"7001;Airy 1830;6377563.396;{airy_b}", f"7022;International 1924;6378388;{intl_b}"])
r = [repr(v * arcsec) for v in (0.15, 0.247, 0.842)]
write("datums.txt", [
    f"OSGB 1936;Great Britain;4326;Airy 1830;9606;446.448;-125.157;542.06;{r[0]};{r[1]};{r[2]};-20.489e-6",
    "ED50;Europe;4326;International 1924;9603;-87;-98;-121;0;0;0;0"])
write("projct.txt", [
    "none;OSGB 1936;0;1;0;0;0;0;0;0",
    "British National Grid;OSGB 1936;9807;0.9996012717;49;-2;400000;-100000;0;0",
    "ED50 / UTM zone 31N;ED50;9807;0.9996;0;3;500000;0;0;0"])
write("epsg-index.txt", [])
with open(f"{work}/in.txt", "w", newline="") as f:
    for i in range(lines):
        f.write(f"{500000 + (i % 9973) * 7.31:.2f} {150000 + (i % 7919) * 9.17:.2f}\r\n")
EOF

proj_from="+proj=tmerc ${TMERC_OPTION:-} +lat_0=49 +lon_0=-2 +k_0=0.9996012717 +x_0=400000 +y_0=-100000 \
+a=6377563.396 +b=$airy_b +towgs84=446.448,-125.157,542.06,0.15,0.247,0.842,-20.489"
proj_to="+proj=tmerc ${TMERC_OPTION:-} +lat_0=0 +lon_0=3 +k_0=0.9996 +x_0=500000 +y_0=0 +a=6378388 +b=$intl_b \
+towgs84=-87,-98,-121,0,0,0,0"

seconds() { local start end; start=$(date +%s.%N); "$@"; end=$(date +%s.%N); echo "$end - $start" | bc; }
best_varnel=999999
best_cs2cs=999999
for round in $(seq "$rounds"); do
  t=$(seconds "$varnel" --data "$work" transform --from "British National Grid" \
        --to "ED50 / UTM zone 31N" "$work/in.txt" "$work/varnel.txt")
  best_varnel=$(echo "if ($t < $best_varnel) $t else $best_varnel" | bc)
  # shellcheck disable=SC2086
  t=$(seconds sh -c "cs2cs -f %.2f $proj_from +to $proj_to < '$work/in.txt' > '$work/cs2cs.txt'")
  best_cs2cs=$(echo "if ($t < $best_cs2cs) $t else $best_cs2cs" | bc)
  echo "round $round: varnel ${best_varnel}s, cs2cs ${best_cs2cs}s (best so far)"
done

# The two agree to the centimetre on every point.
paste "$work/varnel.txt" "$work/cs2cs.txt" | tr -d '\r' |
  awk '{ d = ($1 - $3) ^ 2 + ($2 - $4) ^ 2; if (d > m) m = d } END { printf "largest difference %.3f m\n", sqrt(m) }'
echo "lines: $lines"
echo "varnel: $(echo "$lines / $best_varnel" | bc) lines/s"
echo "cs2cs:  $(echo "$lines / $best_cs2cs" | bc) lines/s"
echo "cs2cs takes $(echo "scale=2; $best_cs2cs / $best_varnel" | bc) times as long as varnel"
