#!/usr/bin/env bash
# Builds the Debian package build-package/varnel_<version>_amd64.deb.
#
# Installs what it needs, then builds Varnel3, varnel and libOstrak32 for
# /usr in build-package/ (RelWithDebInfo, as the tests build it, with
# Debian's hardening flags; cpack strips the files), with the programs looking
# for the installed catalogues in /usr/share/varnel, and packs them with
# CPack. Install the result with: apt install ./build-package/varnel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
# dpkg-shlibdeps and dpkg-buildflags (dpkg-dev); file, which CPack uses to find
# the binaries whose library dependencies go into the package.
bash scripts/install-deps.sh dpkg-dev file

build="build-package"
source scripts/compiler-launcher.sh
# Debian's flags with every hardening feature (bindnow as well).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DVARNEL_DATA_DIR=/usr/share/varnel -DVARNEL_BUILD_TESTS=OFF -DVARNEL_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  "${launcher[@]}" >/dev/null
# Only what the package holds.
cmake --build "$build" -j"$(nproc)" --target Varnel3 varnel Ostrak32 varnel_compressed_docs
rm -f "$build"/varnel_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/varnel_*_amd64.deb
