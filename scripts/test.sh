#!/usr/bin/env bash
# Installs what is needed, builds from clean with warnings as errors, checks
# the formatting and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
rm -rf build
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_WERROR=ON
cmake --build build -j"$(nproc)"
bash scripts/check-format.sh
# The shipped catalogue files, checked by their own reader (no proj.db needed).
python3 tools/catalogues/test_catalogues.py
ctest --test-dir build --output-on-failure -j"$(nproc)"

