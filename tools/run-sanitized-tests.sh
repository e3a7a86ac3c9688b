#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer in a
# second build folder (build-asan, Debug) and runs the whole suite there.
# Any sanitizer report fails the test that caused it; a broken rule
# (TARN_ASSERT) aborts there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup-deps.sh"
flags="-fsanitize=address,undefined -fno-omit-frame-pointer"
cmake -S "$here" -B "$here/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARN_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$flags -DTARN_ASSERT_ABORT" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$here/build-asan" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Qt and fontconfig keep caches until exit, which the leak checker would
# report against every test: leaks are not checked, everything else is.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$here/build-asan" --output-on-failure -j"$(nproc)" --timeout 600
