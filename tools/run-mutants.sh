#!/usr/bin/env bash
# Runs the hand-made mutants of tests/MUTANTS.md: for each row, applies its
# command, rebuilds the test binary the row names (core: tarn_core_tests,
# ui: tarn_ui_tests), runs the row's tests and puts the file back as it was.
# Prints one line a mutant: killed (with the tests that failed), SURVIVED,
# stillborn (it did not compile) or not applied (the command changed
# nothing: the code moved on; fix the row). Not part of CI: each mutant is
# a rebuild.
#
#   tools/run-mutants.sh [NUMBER...]   (default: every row; BUILD=build)
#
# Needs a configured build folder and a clean build of the tests first.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$here/build}
cd "$here"
export QT_QPA_PLATFORM=offscreen
log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT

# The rows: "| N | `FILE` | what | `COMMAND` | core/ui | `FILTER` | ... |"
rows() {
  awk -F' [|] ' '/^[|] [0-9]+ [|]/ {
    n = $1; sub(/^[|] /, "", n)
    for (i = 2; i <= 6; ++i) { gsub(/^`|`$/, "", $i) }
    print n "\t" $2 "\t" $4 "\t" $5 "\t" $6
  }' tests/MUTANTS.md
}

only=("$@")
wanted() {
  [ ${#only[@]} -eq 0 ] && return 0
  for w in "${only[@]}"; do [ "$w" = "$1" ] && return 0; done
  return 1
}

killed=0
total=0
while IFS=$'\t' read -r n file command binary filter; do
  wanted "$n" || continue
  target=tarn_${binary}_tests
  cp "$file" "$log/original"
  bash -c "$command"
  if cmp -s "$file" "$log/original"; then
    echo "M$n not applied: $command"
    continue
  fi
  total=$((total + 1))
  result=""
  if ! nice -n 10 cmake --build "$build" --target "$target" >"$log/build" 2>&1; then
    result="stillborn"
  elif timeout 1800 "$build/tests/$target" --gtest_filter="$filter" >"$log/run" 2>&1; then
    result="SURVIVED"
  else
    failed=$(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_]*\.[A-Za-z0-9_]*\).*/\1/p' "$log/run" | sort -u | paste -sd' ')
    result="killed by ${failed:-a crash or timeout}"
    killed=$((killed + 1))
  fi
  # Back as it was, with a new time so the next build compiles it again.
  cp "$log/original" "$file"
  echo "M$n $result"
done < <(rows)
echo "mutants: $killed of $total killed"
# The binaries of the tree as it is.
nice -n 10 cmake --build "$build" --target tarn_core_tests tarn_ui_tests >/dev/null
