#!/usr/bin/env bash
# Builds the Windows deliverables with MinGW-w64 (scripts/build-windows.sh)
# and tests them under Wine:
#  (a) the library, common, values, catalogue and transform test programs,
#      through ctest (the cross build runs them under Wine);
#  (b) varnel.exe on a published point, against the Linux varnel;
#  (c) Varnel3.exe in Xvfb with a window manager, driven through the keyboard:
#      two systems, list mode, a list run whose output is compared byte for
#      byte with the Linux varnel's, the About box, Exit.
# The comparisons need the Linux programs in build/ (scripts/test.sh builds
# them first; VARNEL_LINUX_BUILD names another folder). With
# VARNEL_WINE_SCREENSHOT=<file.png> the window after the list run is saved
# there (docs/varnel3-wine.png was made so).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${VARNEL_WINDOWS_BUILD:-build-windows}
linux=${VARNEL_LINUX_BUILD:-build}
wine=(bash "$root/windows/wine-run.sh")
total_start=$SECONDS

took() {
  echo "test-windows: $1 took $(($SECONDS - $2)) s"
}

# ------------------------------------------------------------------ build
start=$SECONDS
bash scripts/build-windows.sh
# Wine's preloader reserves the addresses a Windows process needs before
# anything else is mapped (windows/wine-run.sh).
packages=(wine64-preloader xvfb xauth openbox xdotool imagemagick xclip)
bash scripts/apt-install.sh "${packages[@]}"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
work=$root/$build/test-windows
rm -rf "$work"
mkdir -p "$work"
# Every Windows program runs on one X display with a window manager: Wine's
# desktop is made for the display that its first program finds.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
# The Wine prefix is made once, before anything runs in parallel.
"${wine[@]}" wineboot --init >/dev/null 2>&1 || true
# Wine's system processes (services.exe and the others) are started by the
# first program that needs them, and end some time after the last program.
# Started by a test program, they would hold its output open and keep ctest
# waiting a minute for them to end; a program that lasts the whole run keeps
# them running, started with no output to hold. It reads commands from this
# script's descriptor 4 and ends when the script does.
exec 4> >(exec "${wine[@]}" cmd.exe /k >/dev/null 2>&1)
pids+=($!)
took "build" "$start"

linux_varnel=$root/$linux/app/cli/varnel
if [ ! -x "$linux_varnel" ]; then
  echo "test-windows: $linux_varnel is missing: build the Linux programs first (scripts/test.sh)" >&2
  exit 1
fi

# ------------------------------------------------------------------ (a)
start=$SECONDS
ctest --test-dir "$build" -j"$(nproc)" --output-on-failure
took "(a) test programs under Wine" "$start"

# ------------------------------------------------------------------ (b)
start=$SECONDS
point=(--data data transform --from "OSGB36 (UK - Great Britain onshore and...) [UKOOA-Pet]"
       --to EPSG:27700 --lf -- 50.5 0.5)
"${wine[@]}" "$build/bin/varnel.exe" "${point[@]}" >"$work/point-windows.txt"
"$linux_varnel" "${point[@]}" >"$work/point-linux.txt"
printf '577274.98\t69740.49\n' >"$work/point-published.txt"
cmp "$work/point-linux.txt" "$work/point-published.txt"
cmp "$work/point-windows.txt" "$work/point-linux.txt"
echo "test-windows: varnel.exe prints $(cat "$work/point-windows.txt"), as the Linux varnel does"
took "(b) varnel.exe on a published point" "$start"

# ------------------------------------------------------------------ (c)
start=$SECONDS
run=$work/gui
mkdir -p "$run"
cp "$build/bin/Varnel3.exe" "$build/bin/Ostrak32.dll" data/ellips.txt data/datums.txt \
  data/projct.txt "$run/"
# Unix text, which the program converts to CR LF in place before the run.
printf '# OSGB36 points, DMS\n50.3 0.3 0\n52.393 -1.4447 100\n55.575 -3.12345 25.5\n' \
  >"$work/points-unix.txt"
cp "$work/points-unix.txt" "$run/points.txt"
# The window's defaults: angles in DMS, lengths in metres.
"$linux_varnel" --data data transform --from "OSGB36 (UK - Great Britain onshore and...) [UKOOA-Pet]" \
  --to EPSG:27700 --from-angles dms --to-angles dms "$work/points-unix.txt" "$work/grid-linux.txt"
sed 's/$/\r/' "$work/points-unix.txt" >"$work/points-dos.txt"

fail() {
  echo "test-windows: Varnel3.exe: $*" >&2
  import -window root "$work/failure.png" 2>/dev/null || true
  echo "test-windows: the screen is in $work/failure.png" >&2
  exit 1
}
# Waits until the screen stops changing: Wine works through the keys it was sent.
settle() {
  local previous="" current
  for _ in $(seq 240); do
    sleep 0.5
    current=$(import -window root rgb:- 2>/dev/null | md5sum)
    [ "$current" = "$previous" ] && return 0
    previous=$current
  done
  fail "the screen never settled"
}
# The one visible window of that caption.
window() {
  local id
  for _ in $(seq 120); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.5
  done
  return 1
}
# The text of the message box of that caption, read by a Windows program.
message_text() {
  "${wine[@]}" "$build/bin/message_box_text.exe" "$1" | tr -d '\r'
}
key() {
  xdotool key --delay 60 "$@"
}

# A first start: no settings from an earlier run (the window remembers its
# systems in %APPDATA%\varnel\Varnel3.ini, which lives in the Wine prefix).
prefix=${WINEPREFIX:-${TMPDIR:-/tmp}/varnel-wine-$(id -u)}
rm -rf "$prefix/drive_c/users/$(id -un)/AppData/Roaming/varnel"
(cd "$run" && exec "${wine[@]}" Varnel3.exe) >"$work/varnel3.log" 2>&1 &
program=$!
main=$(window "Varnel - Coordinate Transformation V3.0") || fail "no main window"
xdotool windowactivate --sync "$main"
settle
# A first point, typed with no list touched: both sides start as "none"
# leaves them (WGS 84), the start's geographic boxes take the keys, and the
# pages come right after their tab controls in the keyboard order.
key Tab Tab Tab Tab Tab Tab
xdotool type --delay 30 "52.3"
key Tab
xdotool type --delay 30 "1.3"
key Tab
xdotool type --delay 30 "45"
key Return ctrl+shift+c
settle
copied=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r' || true)
for line in "Start datum: WGS 84" "Target latitude (degrees-minutes-seconds DDD.MMSSsss): 52.3000000" \
  "Target longitude (degrees-minutes-seconds DDD.MMSSsss): 1.3000000" \
  "Target height above ellipsoid (metre): 45"; do
  grep -qxF "$line" <<<"$copied" || fail "the first point's results lack \"$line\": $copied"
done
echo "test-windows: Varnel3.exe took a first point typed into a fresh window"
# Catalogue positions by name, so that a regenerated catalogue moves them.
position() { awk -F';' -v name="$2" 'NR > 1 && $1 == name { print NR - 1; exit }' "data/$1"; }
osgb36=$(position datums.txt "OSGB36 (UK - Great Britain onshore and...) [UKOOA-Pet]")
wgs84=$(position datums.txt "WGS 84")
bng=$(position projct.txt "OSGB36 / British National Grid")
[ -n "$osgb36" ] && [ -n "$wgs84" ] && [ -n "$bng" ] || fail "the catalogues lack the test's entries"
# Start system: projection "none" (geographic), the OSGB36 datum, entries
# before WGS 84, which "none" chose. From the height box back past
# longitude, latitude, the tabs and the ellipsoid list.
key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
xdotool key --repeat $((wgs84 - osgb36)) --delay 2 Up
settle
# Target system: OSGB36 / British National Grid, which brings its datum;
# the list starts at "none", the first.
key Tab Tab Tab Tab Tab Tab
xdotool key --repeat $((bng - 1)) --delay 2 Down
settle
# List mode on the target's tab control: all four change.
key Tab Right
settle
# The output name on the page after the tabs, then the input name on the
# start's geographic list page (before the target's projection list).
key Tab
xdotool type --delay 30 "grid.txt"
key shift+Tab shift+Tab shift+Tab shift+Tab
xdotool type --delay 30 "points.txt"
settle
# Enter in a box presses ">> Transform >>", the default button.
key Return
window "Information." >/dev/null || fail "no message after the list run"
settle
text=$(message_text "Information.")
grep -q "Transformation completed." <<<"$text" || fail "the run ended with: $text"
key Return
settle
cmp "$run/grid.txt" "$work/grid-linux.txt" || fail "grid.txt differs from the Linux varnel's output"
cmp "$run/points.txt" "$work/points-dos.txt" || fail "points.txt was not converted to CR LF"
echo "test-windows: Varnel3.exe wrote $(wc -l <"$run/grid.txt") lines, the Linux varnel's bytes"
if [ -n "${VARNEL_WINE_SCREENSHOT:-}" ]; then
  import -window "$main" "$VARNEL_WINE_SCREENSHOT"
  echo "test-windows: the window is in $VARNEL_WINE_SCREENSHOT"
fi

# Help, About through the menu bar: F10, then the mnemonics.
key F10 h a
window "Information" >/dev/null || fail "no About box"
settle
text=$(message_text "Information")
grep -q "Varnel Version 3.0.2 (former Ostrak)" <<<"$text" || fail "the About box says: $text"
key Return
settle

# File, Exit.
xdotool windowactivate --sync "$main"
key F10 f e
for _ in $(seq 60); do kill -0 "$program" 2>/dev/null || break; sleep 0.5; done
if kill -0 "$program" 2>/dev/null; then fail "Exit left the program running"; fi
wait "$program" || fail "the program ended with status $?"
took "(c) Varnel3.exe in Xvfb" "$start"
for server in wineserver /usr/lib/wine/wineserver; do
  command -v "$server" >/dev/null 2>&1 && { WINEPREFIX=$prefix "$server" -k 2>/dev/null || true; break; }
done
took "test-windows.sh" "$total_start"
