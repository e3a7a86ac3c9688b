#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs each for a short,
# fixed time: the project file reader, and the C styler (whole-text
# styling against styling resumed at a line). A crash, a sanitizer report
# or a difference fails the run; libFuzzer then writes the input that did
# it to build-fuzz/crash-*. FUZZ_SECONDS sets each target's time (25).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-25}
"$here/tools/install-packages.sh" clang libclang-rt-14-dev
cmake -S "$here" -B "$here/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTARN_FUZZ=ON \
  -DTARN_BUILD_TESTS=OFF -DTARN_BUILD_BENCH=OFF >/dev/null
cmake --build "$here/build-fuzz" -j"$(nproc)" --target fuzz_project_file fuzz_source_styler
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$here/build-fuzz"
for target in fuzz_project_file fuzz_source_styler; do
  corpus="$here/build-fuzz/corpus-$target"
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -rss_limit_mb=1024 -max_len=4096 -print_final_stats=1)
  if [ "$target" = fuzz_source_styler ]; then
    options+=(-dict="$here/fuzz/c_tokens.dict")
  fi
  echo "Fuzzing $target for $seconds s"
  "fuzz/$target" "${options[@]}" "$corpus"
done
