#!/usr/bin/env bash
# Draws the main window after one transformation into docs/main-window.png,
# the progress window of a long list run over it into docs/progress-window.png,
# and the search for a system and a foot system's result into
# docs/system-search.png and docs/foot-system-result.png, offscreen, with the
# shipped catalogues.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target main_window_screenshot progress_window_screenshot \
  find_system_screenshot
docs="$(pwd)/docs"
cd data
QT_QPA_PLATFORM=offscreen ../build/tools/screenshot/main_window_screenshot "$docs/main-window.png"
QT_QPA_PLATFORM=offscreen ../build/tools/screenshot/progress_window_screenshot \
  "$docs/progress-window.png"
QT_QPA_PLATFORM=offscreen ../build/tools/screenshot/find_system_screenshot "$docs"
