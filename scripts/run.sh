#!/usr/bin/env bash
# Installs what is needed, builds, and starts the desktop program Varnel3.
#
# The program reads its catalogues ("ellips.txt", "datums.txt", "projct.txt")
# and the help document from the current directory. It is started in
# build/run, which links to the program and to the shipped catalogues, code
# index and help document in data/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target Varnel3
mkdir -p build/run
for file in ellips.txt datums.txt projct.txt epsg-index.txt "Knowing your latitude and longitude.pdf"; do
  ln -sf "../../data/$file" "build/run/$file"
done
ln -sf ../app/ui/Varnel3 build/run/Varnel3
cd build/run
exec ./Varnel3 "$@"
