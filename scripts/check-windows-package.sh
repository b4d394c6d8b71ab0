#!/usr/bin/env bash
# Checks the Windows download under Wine (no display needed): builds it
# (scripts/package-windows.sh), installs it silently into Wine's
# C:\Program Files\Varnel, checks the installed files, the Start-menu
# shortcuts and the uninstall registry key, runs the installed varnel.exe on
# a published point from another folder, uninstalls silently and checks that
# nothing is left; then unpacks the zip, runs its varnel.exe the same way and
# a C program built against its header and import library. Prints the time
# of each step.
#
# Uses windows/wine-run.sh, so the prefix is the tests' (WINEPREFIX, by
# default ${TMPDIR:-/tmp}/varnel-wine-<uid>); what it installs there it takes
# away again, also after a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
# unzip for the zip; the cross compiler builds the C program.
bash scripts/apt-install.sh unzip gcc-mingw-w64-x86-64-posix
export LC_ALL=C
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/varnel-wine-$(id -u)}"
# No Linux menu entries from Wine's menu builder for the shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
unset VARNEL_DATA
wine=$repo/windows/wine-run.sh
build=${VARNEL_WINDOWS_BUILD:-build-windows}
out=$build/package

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnel'
drive_c=$WINEPREFIX/drive_c
installed=$drive_c/Program\ Files/Varnel
menu=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Varnel
# 50 30 N, 0 30 E on OSGB36 in the British National Grid (EPSG's worked
# example of Transverse Mercator).
point=(transform --from "OSGB36 (UK - Great Britain onshore and...) [UKOOA-Pet]"
       --to EPSG:27700 --lf -- 50.5 0.5)
# What the download holds; the installed folder holds the uninstaller too.
files=("Knowing your latitude and longitude.pdf" BETA2007.gsb CHENYX06.gsb Ostrak32.dll
       README.txt Varnel3.exe catalogues.txt copyright.txt datums.txt ellips.txt epsg-index.txt
       include/ostrak32.h include/ostrak32_records.h lib/Ostrak32.def lib/libOstrak32.dll.a
       ntf_r93.gsb nzgd2kgrid0005.gsb projct.txt varnel.exe)
shortcuts=("Knowing your latitude and longitude.lnk" Varnel.lnk)

fail() {
  echo "check-windows-package: FAILED: $*" >&2
  exit 1
}
seconds_since() { awk -v from="$1" -v now="$(date +%s.%N)" 'BEGIN { printf "%.1f", now - from }'; }
started=$(date +%s.%N)
step_started=$started
step() {
  [ -z "${step_name:-}" ] || echo "   ($step_name: $(seconds_since "$step_started") s)"
  step_name=$1
  step_started=$(date +%s.%N)
  [ -z "$1" ] || echo "== $1"
}

registry_key_exists() { "$wine" reg query "$uninstall_key" >/dev/null 2>&1; }
remove_installation() {
  rm -rf "$installed" "$menu"
  if registry_key_exists; then "$wine" reg delete "$uninstall_key" /f >/dev/null 2>&1 || true; fi
}
# The file list of a folder, one relative path a line.
listing() { (cd "$1" && find . -type f | sed 's|^\./||' | sort); }
expect_files() {  # folder, extra names
  local folder=$1 got want
  shift
  got=$(listing "$folder")
  want=$(printf '%s\n' "${files[@]}" "$@" | sort)
  [ "$got" = "$want" ] ||
    fail "$folder holds other files than expected:"$'\n'"$(diff <(echo "$want") <(echo "$got") || true)"
}
# Runs a Windows program from the empty folder work/ (the catalogues must be
# found beside the program, not in the current folder) and compares what it
# prints with the published point.
expect_point() {  # line end, program (Windows or Unix path), arguments
  local end=$1
  shift
  (cd "$scratch/work" && "$wine" "$@") >"$scratch/point.txt" || fail "$1 exits with status $?"
  cmp -s "$scratch/point.txt" <(printf '577274.98\t69740.49%s' "$end") ||
    fail "$1 prints '$(od -An -c "$scratch/point.txt" | tr -s ' \n' ' ')', not" \
      "577274.98<TAB>69740.49$(printf '%s' "$end" | sed 's/\r/<CR>/; s/$/<LF>/' | tr -d '\n')"
  echo "   $(tr -d '\r' <"$scratch/point.txt")"
}
# Waits up to 60 s for a condition (a command) to hold.
wait_for() {
  local deadline=$((SECONDS + 60))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/varnel-windows-check.XXXXXX")
mkdir "$scratch/work"
trap 'remove_installation; rm -rf "$scratch"' EXIT

step "package (scripts/package-windows.sh)"
bash scripts/package-windows.sh
version=$(sed -nE 's/^project\(Varnel VERSION ([0-9.]+)[ )].*/\1/p' CMakeLists.txt)
zip=$out/varnel-$version-windows-x64.zip
setup=$out/varnel-setup.exe
[ -f "$zip" ] || fail "package-windows.sh made no $zip"
[ -f "$setup" ] || fail "package-windows.sh made no $setup"

step "Wine prefix $WINEPREFIX"
"$wine" cmd /c ver >/dev/null 2>&1 || fail "Wine does not start"
# Not a catalogue folder that would stand in for the installed one.
for user in "$drive_c"/users/*/AppData/Local/varnel; do
  [ ! -e "$user/ellips.txt" ] || fail "$user holds catalogues, which the programs would read first"
done
if [ -e "$installed" ] || [ -e "$menu" ] || registry_key_exists; then
  echo "   removing an earlier installation left in the prefix"
  remove_installation
fi
nsis_temp_before=$(find "$drive_c/users" -maxdepth 3 -name '~nsu*.tmp' 2>/dev/null | sort)

step "install: varnel-setup.exe /S"
"$wine" "$setup" /S || fail "varnel-setup.exe /S exits with status $?"
# The installer runs to its end before Wine returns; the wait guards
# against a Wine that returns early. The key is written last.
wait_for registry_key_exists || fail "no uninstall registry key $uninstall_key"

step "installed files, shortcuts, registry"
[ -d "$installed" ] || fail "no folder $installed"
expect_files "$installed" Uninstall.exe
for file in "${files[@]}"; do
  cmp -s "$installed/$file" "$out/varnel-$version-windows-x64/$file" ||
    fail "the installed $file differs from the download's"
done
for shortcut in "${shortcuts[@]}"; do
  [ -f "$menu/$shortcut" ] || fail "no Start-menu shortcut $menu/$shortcut"
done
# The program's shortcut starts it in its own folder (the .lnk's working
# folder, in its string data).
workdir=$(python3 - "$menu/Varnel.lnk" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", data, 0x14)[0]
at = 0x4C
if flags & 0x01:  # HasLinkTargetIDList
    at += 2 + struct.unpack_from("<H", data, at)[0]
if flags & 0x02:  # HasLinkInfo
    at += struct.unpack_from("<I", data, at)[0]
unicode = flags & 0x80
for bit in (0x04, 0x08, 0x10):  # name, relative path, working folder
    if flags & bit:
        count = struct.unpack_from("<H", data, at)[0]
        size = count * (2 if unicode else 1)
        text = data[at + 2:at + 2 + size].decode("utf-16-le" if unicode else "cp1252")
        at += 2 + size
        if bit == 0x10:
            print(text.rstrip("\0"))  # Wine counts a terminating NUL
PY
)
[ "$workdir" = 'C:\Program Files\Varnel' ] ||
  fail "Varnel.lnk starts in '$workdir', not C:\\Program Files\\Varnel"
"$wine" reg query "$uninstall_key" | tr -d '\r' >"$scratch/key.txt"
for value in DisplayName DisplayVersion Publisher DisplayIcon UninstallString \
  QuietUninstallString NoModify NoRepair EstimatedSize; do
  grep -qE "^\s+$value\s+REG_" "$scratch/key.txt" || fail "the uninstall key has no $value"
done
grep -qE "^\s+DisplayVersion\s+REG_SZ\s+$version$" "$scratch/key.txt" ||
  fail "DisplayVersion is not $version"
grep -qF '"C:\Program Files\Varnel\Uninstall.exe" /S' "$scratch/key.txt" ||
  fail "QuietUninstallString is not the installed Uninstall.exe /S"
sed 's/^/   /' "$scratch/key.txt" | grep -v '^\s*$'

step "installed varnel.exe from another folder"
expect_point $'\n' 'C:\Program Files\Varnel\varnel.exe' "${point[@]}"

step "uninstall: Uninstall.exe /S"
"$wine" 'C:\Program Files\Varnel\Uninstall.exe' /S || fail "Uninstall.exe /S exits with status $?"
# The uninstaller runs again from a copy in the temporary folder, so that it
# can delete itself, and Wine returns when the first one ends: wait for the
# copy to finish.
uninstalled() { [ ! -e "$installed" ] && [ ! -e "$menu" ] && ! registry_key_exists; }
if ! wait_for uninstalled; then
  [ ! -e "$installed" ] || fail "the uninstaller left $installed: $(listing "$installed" | tr '\n' ' ')"
  [ ! -e "$menu" ] || fail "the uninstaller left the Start-menu folder $menu"
  fail "the uninstaller left the registry key $uninstall_key"
fi
# The copy's folder goes at the next start of Windows; there is none here.
comm -13 <(echo "$nsis_temp_before") \
  <(find "$drive_c/users" -maxdepth 3 -name '~nsu*.tmp' 2>/dev/null | sort) |
  while read -r left; do [ -z "$left" ] || rm -rf "$left"; done

step "zip: unpacked varnel.exe from another folder"
unzip -q "$zip" -d "$scratch/zip"
unpacked=$scratch/zip/varnel-$version-windows-x64
[ -d "$unpacked" ] || fail "the zip holds no folder varnel-$version-windows-x64"
expect_files "$unpacked"
expect_point $'\n' "$unpacked/varnel.exe" "${point[@]}"
# Without catalogues beside it, it names its own folder among those it looked
# in. (Here the point alone would not tell: Wine reads a Unix path, such as
# the source folder's data/ that a build names, as well.)
mkdir "$scratch/bare"
cp "$unpacked/varnel.exe" "$unpacked/Ostrak32.dll" "$scratch/bare/"
bare=$("$wine" winepath -w "$scratch/bare" | tr -d '\r')
status=0
(cd "$scratch/work" && "$wine" "$scratch/bare/varnel.exe" info EPSG:27700) >/dev/null \
  2>"$scratch/bare.txt" || status=$?
if [ "$status" -ne 3 ] || ! tr -d '\r' <"$scratch/bare.txt" | grep -qxF "  $bare"; then
  fail "varnel.exe without catalogues beside it does not look in its own folder $bare" \
    "(status $status):"$'\n'"$(cat "$scratch/bare.txt")"
fi

step "zip: a C program against include/ and lib/libOstrak32.dll.a"
mkdir "$scratch/caller"
x86_64-w64-mingw32-gcc-posix -std=c11 -Wall -Wextra -Werror -pedantic -I"$unpacked/include" \
  -o "$scratch/caller/bng.exe" packaging/checks/published_point.c -L"$unpacked/lib" -lOstrak32 ||
  fail "a C program does not build against the zip's header and import library"
cp "$unpacked/Ostrak32.dll" "$scratch/caller/"
# printf's text-mode standard output ends lines in CR LF on Windows.
expect_point $'\r\n' "$scratch/caller/bng.exe"

step ""
echo "check-windows-package: all checks passed in $(seconds_since "$started") s"
