#!/usr/bin/env bash
# Builds the Windows download in build-windows/package/:
#   varnel-<version>-windows-x64.zip  a folder to unpack anywhere and run from
#   varnel-setup.exe                  the installer (windows/installer.nsi)
#
# Both hold the same files: Varnel3.exe, varnel.exe and Ostrak32.dll (stripped
# copies of the cross build's), the catalogues, the EPSG code index and the
# help document beside them, where the programs look for them, and the four
# agencies' NTv2 grids that Debian's proj-data ships; README.txt,
# copyright.txt (the program's terms, the EPSG terms of use and each grid's) and
# catalogues.txt (how the catalogues were made) with CR LF line ends; for C
# callers of the library include/ostrak32.h and include/ostrak32_records.h,
# lib/libOstrak32.dll.a (MinGW's import library) and lib/Ostrak32.def (from
# which Microsoft's lib.exe makes one). A DLL that a program imports and
# Windows does not provide is shipped beside the programs, or the package
# fails.
#
# Packs the programs of the Windows build as they are (CI builds them just
# before; run scripts/build-windows.sh after a change), and builds them
# through scripts/build-windows.sh only when they are missing. The version is
# the project() version of CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C  # the same file order on every machine
build=${VARNEL_WINDOWS_BUILD:-build-windows}
mingw=x86_64-w64-mingw32

bash scripts/apt-install.sh nsis zip binutils-mingw-w64-x86-64
bin=$build/bin
import_library=$build/lib/libOstrak32.dll.a
for f in "$bin/Varnel3.exe" "$bin/varnel.exe" "$bin/Ostrak32.dll" "$import_library"; do
  if [ ! -f "$f" ]; then
    bash scripts/build-windows.sh --target Varnel3 varnel Ostrak32 >/dev/null
    break
  fi
done

version=$(sed -nE 's/^project\(Varnel VERSION ([0-9]+\.[0-9]+\.[0-9]+)[ )].*/\1/p' CMakeLists.txt)
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || {
  echo "package-windows: no project(Varnel VERSION a.b.c) in CMakeLists.txt" >&2
  exit 1
}
name=varnel-$version-windows-x64
out=$build/package
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/varnel-setup.exe" "$out/files.nsh"
mkdir -p "$stage/include" "$stage/lib"

for f in Varnel3.exe varnel.exe Ostrak32.dll; do
  $mingw-strip -o "$stage/$f" "$bin/$f"
done
cp "$import_library" windows/Ostrak32.def "$stage/lib/"
cp lib/ostrak32.h "$stage/include/"
cp common/records.h "$stage/include/ostrak32_records.h"
cp data/ellips.txt data/datums.txt data/projct.txt data/epsg-index.txt \
  "data/Knowing your latitude and longitude.pdf" "$stage/"
# The agencies' grids that Debian's proj-data ships, beside the catalogues
# (their terms are in windows/grids-copyright.txt).
grids=${PROJ_DATA:-/usr/share/proj}
for grid in BETA2007.gsb ntf_r93.gsb CHENYX06.gsb nzgd2kgrid0005.gsb; do
  [ -f "$grids/$grid" ] || {
    echo "package-windows: $grids/$grid is missing: apt-get install proj-data" >&2
    exit 1
  }
  cp "$grids/$grid" "$stage/"
done
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
crlf README.md "$stage/README.txt"
crlf data/README.md "$stage/catalogues.txt"
# The Debian copyright file, naming the files as this download holds them.
sed -e 's|/usr/share/doc/varnel/catalogues\.md|catalogues.txt|g' \
  -e 's|Installed in /usr/share/varnel\. ||' packaging/copyright windows/grids-copyright.txt |
  sed 's/\r*$/\r/' >"$stage/copyright.txt"

# DLLs the programs import: Windows' own, Ostrak32.dll, or a MinGW run-time
# DLL shipped beside them (none while the run-time links statically).
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
  oleaut32.dll shell32.dll shlwapi.dll user32.dll version.dll ws2_32.dll ucrtbase.dll "
mingw_dirs=("/usr/$mingw/lib" "/usr/lib/gcc/$mingw/"*-posix)
while :; do
  added=0
  for pe in "$stage"/*.exe "$stage"/*.dll; do
    while read -r dll; do
      lower=${dll,,}
      [[ $system_dlls == *" $lower "* || $lower == api-ms-win-* ]] && continue
      [[ -n $(find "$stage" -maxdepth 1 -iname "$dll") ]] && continue
      found=$(find "${mingw_dirs[@]}" -maxdepth 1 -iname "$dll" -print -quit 2>/dev/null || true)
      if [ -z "$found" ]; then
        echo "package-windows: $(basename "$pe") imports $dll, which is neither Windows' nor found" >&2
        exit 1
      fi
      $mingw-strip -o "$stage/$(basename "$found")" "$found"
      added=1
    done < <($mingw-objdump -p "$pe" | sed -n 's/^\s*DLL Name: //p')
  done
  [ "$added" -eq 1 ] || break
done
# The exports are the module-definition file's, undecorated, after stripping.
exports=$($mingw-objdump -p "$stage/Ostrak32.dll" | grep -c -E '^\s+\[ *[0-9]+\] [A-Z0-9]+$' || true)
[ "$exports" -eq 18 ] || {
  echo "package-windows: Ostrak32.dll exports $exports names, not eighteen" >&2
  exit 1
}

(cd "$out" && zip -q -X -r -9 "$name.zip" "$name")

# The installer's file list, from the staged folder: each file installed and
# removed by name, folders removed only when empty.
backslashes() { printf '%s' "${1//\//\\}"; }
{
  echo "; Written by scripts/package-windows.sh from the files of $name."
  echo "!macro VarnelInstallFiles"
  while read -r dir; do
    echo "  SetOutPath \"\$INSTDIR$(backslashes "${dir#.}")\""
    while read -r file; do
      echo "  File \"$(realpath "$stage/$dir/$file")\""
    done < <(cd "$stage/$dir" && find . -maxdepth 1 -type f -printf '%f\n' | sort)
  done < <(cd "$stage" && find . -type d | sort)
  echo "!macroend"
  echo "!macro VarnelUninstallFiles"
  while read -r file; do
    echo "  Delete \"\$INSTDIR\\$(backslashes "${file#./}")\""
  done < <(cd "$stage" && find . -type f | sort)
  while read -r dir; do
    echo "  RMDir \"\$INSTDIR\\$(backslashes "${dir#./}")\""
  done < <(cd "$stage" && find . -mindepth 1 -type d | sort -r)
  echo "!macroend"
} >"$out/files.nsh"

makensis -V2 -WX -DVERSION="$version" -DSTAGE="$(realpath "$stage")" \
  -DICON="$(realpath windows/Varnel3.ico)" -DFILES="$(realpath "$out/files.nsh")" \
  -DOUTFILE="$(realpath "$out")/varnel-setup.exe" windows/installer.nsi

ls -l "$out/$name.zip" "$out/varnel-setup.exe"
