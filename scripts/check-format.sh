#!/usr/bin/env bash
# Fails when a C or C++ source file is not formatted with the repository's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z -- '*.c' '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror
