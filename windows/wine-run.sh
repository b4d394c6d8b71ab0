#!/bin/sh
# Runs a program of the Windows build under Wine: the cross build's
# CMAKE_CROSSCOMPILING_EMULATOR, so that ctest and test discovery run the
# Windows test programs. One Wine prefix serves every build folder.
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/varnel-wine-$(id -u)}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No installer prompts for Mono or Gecko, which nothing here needs.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# The Wine server is started here, detached from this program's output, so
# that a caller who reads the output to its end (test discovery does) is not
# kept waiting by the server; it stays 60 seconds after the last program, so
# that a series of test programs start quickly. Already running, it is left.
for server in "${VARNEL_WINESERVER:-}" wineserver /usr/lib/wine/wineserver; do
  if [ -n "$server" ] && command -v "$server" >/dev/null 2>&1; then
    "$server" -p60 </dev/null >/dev/null 2>&1 || true
    break
  fi
done
for wine in "${VARNEL_WINE:-}" wine64 /usr/lib/wine/wine64 wine; do
  [ -n "$wine" ] && command -v "$wine" >/dev/null 2>&1 && exec "$wine" "$@"
done
echo "wine-run.sh: no wine64 found (apt-get install wine64)" >&2
exit 127
