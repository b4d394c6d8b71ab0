#!/usr/bin/env bash
# Installs the Debian packages that building and testing need (once), and
# any further packages named as arguments.
set -euo pipefail
packages=(cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev clang-format qt6-base-dev libcli11-dev ccache fonts-dejavu-core xvfb xauth python3)
packages+=("$@")
bash "$(dirname "$0")/apt-install.sh" "${packages[@]}"
