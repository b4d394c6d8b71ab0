#!/usr/bin/env bash
# Cross-builds the Windows deliverables with MinGW-w64 into build-windows/:
# Ostrak32.dll (with its import library), Varnel3.exe, varnel.exe and the
# test programs, which run under Wine (scripts/test-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VARNEL_WINDOWS_BUILD:-build-windows}

packages=(cmake make g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
          binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev googletest libcli11-dev wine64 wine64-preloader)
bash scripts/apt-install.sh "${packages[@]}"

source scripts/compiler-launcher.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_WERROR=ON -DVARNEL_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build "$build" -j"$(nproc)" "$@"
