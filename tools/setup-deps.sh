#!/usr/bin/env bash
# Installs what Tarn needs to build, run and test on Debian 12 (as root).
set -euo pipefail
packages=(g++ cmake ninja-build make gdb qt6-base-dev libqscintilla2-qt6-dev libgtest-dev
          libbenchmark-dev libx11-dev fonts-dejavu-core xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
