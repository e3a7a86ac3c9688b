#!/usr/bin/env bash
# Installs what is missing, builds Tarn and starts it with the given arguments.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup-deps.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" -j"$(nproc)" --target tarn
exec "$here/build/tarn" "$@"
