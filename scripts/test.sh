#!/usr/bin/env bash
# Installs what is needed, builds from clean with warnings as errors, checks
# the formatting and runs every test: the test suites, the Windows build's
# under Wine, the same suites built with AddressSanitizer and
# UndefinedBehaviorSanitizer (the fuzz harnesses' seed corpora among them), and
# the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
step() { echo "== $1 (at $((SECONDS - started)) s)"; }
bash scripts/install-deps.sh
source scripts/compiler-launcher.sh
step "build"
rm -rf build
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_WERROR=ON "${launcher[@]}"
cmake --build build -j"$(nproc)"
bash scripts/check-format.sh
# The shipped catalogue files, checked by their own reader (no proj.db needed).
python3 tools/catalogues/test_catalogues.py
step "tests"
ctest --test-dir build --output-on-failure -j"$(nproc)"
step "windows"
# The Windows build under Wine: its test programs, varnel.exe and Varnel3.exe
# against the Linux programs just built.
bash scripts/test-windows.sh
# The Windows download: the zip and the installer, installed, run and
# uninstalled under Wine.
bash scripts/check-windows-package.sh
step "sanitizers"
bash scripts/test-sanitizers.sh
step "package"
bash scripts/check-package.sh
step "done"
