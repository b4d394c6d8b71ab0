#!/usr/bin/env bash
# Installs the Debian packages that building and testing need (once), and
# any further packages named as arguments. proj-data brings the EPSG dataset
# the catalogue checks compare the shipped files with, and the agencies' NTv2
# grids the grid shift tests run on.
set -euo pipefail
packages=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev clang-format qt6-base-dev libcli11-dev ccache fonts-dejavu-core xvfb xauth python3 proj-data)
packages+=("$@")
bash "$(dirname "$0")/apt-install.sh" "${packages[@]}"
