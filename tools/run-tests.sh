#!/usr/bin/env bash
# Installs what is missing, builds Tarn and its tests and runs the whole suite.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup-deps.sh"
# TARN_WERROR=ON (set by CI) makes a warning in Tarn's own code an error.
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARN_WERROR="${TARN_WERROR:-OFF}" >/dev/null
cmake --build "$here/build" -j"$(nproc)"
# No function of Tarn's is kept alive by the tests alone (link maps of this
# build; nothing is compiled again).
"$here/tools/check-test-only-code.sh" "$here/build"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$here/build" --output-on-failure -j"$(nproc)" --timeout 300
