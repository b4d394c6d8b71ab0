#!/usr/bin/env bash
# Checks the Debian package: builds it (scripts/package.sh), runs lintian on
# it (an error fails the check; warnings are listed), unpacks it into a
# scratch folder and runs what it holds from there: varnel on a published
# point, and a C program compiled against the unpacked header and library
# through the package's pkg-config file. Needs no display.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
bash scripts/package.sh
bash scripts/install-deps.sh lintian pkg-config gcc

debs=(build-package/varnel_*_amd64.deb)
deb=${debs[0]}
fail() {
  echo "check-package: $*" >&2
  exit 1
}

scratch=$(mktemp -d /tmp/varnel-check.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

echo "== lintian $deb"
status=0
lintian --fail-on error "$deb" >"$scratch/lintian.txt" 2>&1 || status=$?
grep -v "running with root privileges" "$scratch/lintian.txt" || echo "(no errors, no warnings)"
[ "$status" -eq 0 ] || fail "lintian reports errors"
root=$scratch/root
dpkg-deb -x "$deb" "$root"
pc=$(find "$root/usr/lib" -name ostrak32.pc)
[ -n "$pc" ] || fail "no ostrak32.pc in the package"
libdir=$(dirname "$(dirname "$pc")")
# Run as on a machine of one's own: an empty current folder and home, so
# that only the unpacked catalogues count.
mkdir "$scratch/home" "$scratch/work"
run() {
  (cd "$scratch/work" && env -u VARNEL_DATA -u XDG_DATA_HOME HOME="$scratch/home" \
    LD_LIBRARY_PATH="$libdir" "$@")
}

echo "== varnel from the package"
# 50 30 N, 0 30 E on OSGB36 in the British National Grid (EPSG's worked
# example of Transverse Mercator): 577274.98 69740.49.
osgb36="OSGB36 (UK - Great Britain onshore and...) [UKOOA-Pet]"
got=$(run "$root/usr/bin/varnel" --data "$root/usr/share/varnel" transform --from "$osgb36" \
  --to EPSG:27700 --lf -- 50.5 0.5)
[ "$got" = $'577274.98\t69740.49' ] || fail "varnel gave '$got', not 577274.98<TAB>69740.49"
echo "$got"
# Without --data it looks in the installed folder.
if ! looked=$(run "$root/usr/bin/varnel" info EPSG:27700 2>&1 >/dev/null); then
  grep -qx "  /usr/share/varnel" <<<"$looked" || fail "varnel does not look in /usr/share/varnel: $looked"
fi
# Every library the desktop program needs is found.
if run ldd "$root/usr/bin/Varnel3" | grep "not found"; then fail "Varnel3 misses libraries"; fi

echo "== a C program through pkg-config ostrak32"
flags=$(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --define-variable=prefix="$root/usr" \
  --cflags --libs ostrak32)
echo "pkg-config: $flags"
# shellcheck disable=SC2086  # the flags are words
gcc -std=c11 -Wall -Wextra -Werror -pedantic -o "$scratch/bng" packaging/checks/published_point.c $flags
readelf -d "$scratch/bng" | grep -q "NEEDED.*\[libOstrak32\.so\.3\]" ||
  fail "the C program is not linked against the soname libOstrak32.so.3"
got=$(run "$scratch/bng")
[ "$got" = $'577274.98\t69740.49' ] || fail "the C program gave '$got', not 577274.98<TAB>69740.49"
echo "$got"

echo "check-package: all checks passed in $((SECONDS - started)) s"
