#!/usr/bin/env bash
# Project builds from the command line against make on the exported
# Makefile, in the same run, one after another, both sequential:
#   tarn --rebuild P.tarn      vs   make -B   (200 sources, ~300 lines each)
#   tarn --build P.tarn with nothing to compile, against its link alone.
# and, parallel (J compiles at a time, default 2):
#   tarn --rebuild --jobs J    vs   make -jJ -B   and vs   tarn --rebuild --jobs 1
# Median of N rounds (default 3). The load average is printed before and after.
# Usage: bench/project_build_bench.sh [path/to/tarn] [rounds] [sources] [J]
set -euo pipefail
tarn=$(realpath "${1:-build/tarn}")
rounds=${2:-3}
count=${3:-200}
jobs=${4:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/p"
gcc=$(command -v gcc)
printf '[Options]\nGCC Path=%s\nMake Path=%s\nClear=0\n' "$gcc" "$(command -v make)" \
    > "$work/config/Tarn32.ini"
export XDG_CONFIG_HOME="$work/config" HOME="$work"

# The sources: each ~300 lines of small functions; main calls one of each.
python3 - "$work/p" "$count" <<'PY'
import struct, sys
root, count = sys.argv[1], int(sys.argv[2])
sources = []
for i in range(count):
    lines = [f"/* unit {i} */", "#include <stdio.h>", "#include <string.h>", ""]
    for f in range(24):
        lines += [f"static int helper_{i}_{f}(const char *s, int n)", "{",
                  "    int total = 0;", "    for (int k = 0; k < n; ++k) {",
                  "        total += (int)strlen(s) * k;", "        if (total > 1000)",
                  "            total %= 97;", "    }", "    return total;", "}", ""]
    lines += [f"int unit_{i}(int n)", "{", "    int sum = 0;"]
    lines += [f"    sum += helper_{i}_{f}(\"abc\", n);" for f in range(24)]
    lines += ["    return sum;", "}"]
    path = f"{root}/unit{i}.c"
    open(path, "w").write("\n".join(lines) + "\n")
    sources.append(path)
main = ["#include <stdio.h>"] + [f"int unit_{i}(int);" for i in range(count)]
main += ["int main(void)", "{", "    long s = 0;"]
main += [f"    s += unit_{i}(3);" for i in range(count)]
main += ['    printf("%ld\\n", s);', "    return 0;", "}"]
open(f"{root}/main.c", "w").write("\n".join(main) + "\n")
sources.append(f"{root}/main.c")

def string(text):
    b = text.encode()
    if len(b) < 255:
        return bytes([len(b)]) + b
    return b"\xff" + struct.pack("<H", len(b)) + b

data = struct.pack("<8i", len(sources), 0, 0, 0, 0, 0, 0, 2) + string("")
data += struct.pack("<3i", 0, 0, 0) + string("")
for s in sources:
    data += string(s)
open(f"{root}/bench.tarn", "wb").write(data)
PY
lines=$(cat "$work/p"/unit0.c | wc -l)

now() { date +%s%N; }
ms() { echo $(( ($2 - $1) / 1000000 )); }
"$tarn" --export-makefile "$work/p/bench.tarn" > /dev/null
link_cmd=$(sed -n 5p "$work/p/Makefile" | sed 's/^\t//')

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
rebuild=() make_b=() nothing=() link=() rebuild_j=() make_j=()
for r in $(seq 1 "$rounds"); do
  t0=$(now); "$tarn" --rebuild --jobs "$jobs" "$work/p/bench.tarn" > "$work/rows_j.txt"; t1=$(now)
  rebuild_j+=("$(ms "$t0" "$t1")")
  t0=$(now); (cd "$work/p" && make -j"$jobs" -B > /dev/null 2>&1); t1=$(now)
  make_j+=("$(ms "$t0" "$t1")")
  t0=$(now); "$tarn" --rebuild "$work/p/bench.tarn" > "$work/rows.txt"; t1=$(now)
  rebuild+=("$(ms "$t0" "$t1")")
  t0=$(now); (cd "$work/p" && make -B > /dev/null 2>&1); t1=$(now)
  make_b+=("$(ms "$t0" "$t1")")
  t0=$(now); "$tarn" --build "$work/p/bench.tarn" > "$work/rows2.txt"; t1=$(now)
  nothing+=("$(ms "$t0" "$t1")")
  t0=$(now); (cd "$work/p" && eval "$link_cmd" > /dev/null 2>&1); t1=$(now)
  link+=("$(ms "$t0" "$t1")")
done
median() { printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
mr=$(median "${rebuild[@]}") mm=$(median "${make_b[@]}")
mn=$(median "${nothing[@]}") ml=$(median "${link[@]}")
mrj=$(median "${rebuild_j[@]}") mmj=$(median "${make_j[@]}")
ratio() { awk "BEGIN{printf \"%.3f\", $1/$2}"; }
echo "cores: $(nproc); sources: $((count + 1)) (~$lines lines each); rounds: $rounds"
echo "load average before: $load_before   after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "tarn --rebuild: ${mr} ms   make -B: ${mm} ms   ratio: $(ratio "$mr" "$mm")"
echo "tarn --rebuild --jobs $jobs: ${mrj} ms   make -j$jobs -B: ${mmj} ms   ratio: $(ratio "$mrj" "$mmj")" \
     "  against --jobs 1: $(ratio "$mrj" "$mr")"
echo "tarn --build with nothing to do: ${mn} ms   (the link alone: ${ml} ms, rest: $((mn - ml)) ms)"
grep -c '^compiling ' "$work/rows.txt" | sed 's/^/compiles in the last rebuild: /'
grep -c '^compiling ' "$work/rows2.txt" | sed 's/^/compiles in the last build: /' || true
cmp -s "$work/rows.txt" "$work/rows_j.txt" \
  && echo "rows of --jobs $jobs: the same as --jobs 1" \
  || echo "rows of --jobs $jobs: DIFFER from --jobs 1"
