#!/usr/bin/env bash
# Installs what Tarn needs to build, run and test on Debian 12 (as root).
set -euo pipefail
# locales and gcc-12-locales: the tests build under a German locale with
# gcc's German messages, which Tarn must not be misled by. clangd: the
# code-intelligence tests run the real language server.
packages=(g++ cmake ninja-build make gdb qt6-base-dev libqscintilla2-qt6-dev libpcre2-dev libgtest-dev
          libbenchmark-dev libx11-dev fonts-dejavu-core xvfb xauth locales gcc-12-locales clangd)
"$(dirname "$0")/install-packages.sh" "${packages[@]}"
# The German locale those tests run in, generated once.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
