#!/usr/bin/env bash
# Installs what Tarn needs to build, run and test on Debian 12 (as root).
set -euo pipefail
packages=(g++ cmake ninja-build make gdb qt6-base-dev libqscintilla2-qt6-dev libgtest-dev
          libbenchmark-dev libx11-dev fonts-dejavu-core xvfb xauth)
"$(dirname "$0")/install-packages.sh" "${packages[@]}"
