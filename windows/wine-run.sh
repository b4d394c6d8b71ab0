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
# A Windows process needs some addresses of its own, the shared user data at
# 0x7ffe0000 first. Wine's preloader (wine64-preloader beside wine64, which
# wine64 starts itself through) reserves them before anything else is
# mapped. Without it the kernel puts the Unix heap anywhere in the gigabyte
# above wine64's fixed address, now and then over 0x7ffe0000, and the
# program ends at once with status 1 ("failed to map the shared user data",
# an error that WINEDEBUG=-all keeps quiet). So a wine64 without its
# preloader runs with a fixed address layout, where the heap starts right
# after wine64, far below. VARNEL_WINE is run as given.
if [ -n "${VARNEL_WINE:-}" ] && command -v "$VARNEL_WINE" >/dev/null 2>&1; then
  exec "$VARNEL_WINE" "$@"
fi
for wine in wine64 /usr/lib/wine/wine64 wine; do
  loader=$(command -v "$wine" 2>/dev/null) || continue
  loader=$(readlink -f "$loader")
  if [ "${loader##*/}" = wine64 ] && [ ! -e "${loader%/*}/wine64-preloader" ]; then
    exec setarch "$(uname -m)" -R "$wine" "$@"
  fi
  exec "$wine" "$@"
done
echo "wine-run.sh: no wine64 found (apt-get install wine64 wine64-preloader)" >&2
exit 127
