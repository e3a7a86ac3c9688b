#!/usr/bin/env bash
# Lists the functions of Tarn's own code (libtarncore.a, libtarnui.a) that
# the test binaries keep and the program does not: code only the tests
# reach. Fails when one shows up that tools/test-only-code.allow does not
# name.
#
#   tools/check-test-only-code.sh [BUILD_DIR]   (default: build)
#
# It reads the link maps that a gcc build writes beside tarn and the test
# binaries (CMakeLists.txt: Tarn's code is compiled a function to a
# section, and each binary is linked with --gc-sections, so its map holds
# only the functions something in it reaches). Nothing is compiled or
# linked again.
#
# What it cannot see: an inline function of a header (it is compiled into
# whoever calls it), and a function the program calls only where gcc
# inlined it (in the same file) while the tests call it directly: that one
# is listed, and is usually better made local and tested through its
# caller.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
allow="$here/tools/test-only-code.allow"
maps=("$build/tarn.map" "$build/tests/tarn_core_tests.map" "$build/tests/tarn_ui_tests.map")
for map in "${maps[@]}"; do
  if [ ! -s "$map" ]; then
    echo "check-test-only-code: no link map $map (a gcc build of tarn and its tests makes it)" >&2
    exit 2
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each function a map keeps, one a line: "MEMBER SYMBOL" for a function of
# Tarn's libraries, "- SYMBOL" for one from elsewhere. Function sections
# are .text.SYMBOL (or .text.unlikely.SYMBOL and the like for the parts gcc
# moves); gcc's clones (.constprop.0, .isra.0, .part.0, .cold) count as
# the function they were made from.
kept() {
  awk '
    /^Linker script and memory map/ { inmap = 1; next }
    !inmap { next }
    function take(section, file,   sym, member) {
      if (section !~ /^\.text\./) return
      sym = section
      sub(/^\.text\.(unlikely|hot|startup|exit)\./, ".text.", sym)
      sub(/^\.text\./, "", sym)
      while (sym ~ /\.(constprop|isra|part|cold|localalias)(\.[0-9]+)?$/)
        sub(/\.(constprop|isra|part|cold|localalias)(\.[0-9]+)?$/, "", sym)
      member = "-"
      if (match(file, /libtarn(core|ui)\.a\(.*\)$/)) {
        member = substr(file, RSTART, RLENGTH)
        sub(/^libtarn(core|ui)\.a\(/, "", member)
        sub(/\)$/, "", member)
      }
      print member, sym
    }
    # An input section: its name alone on a line when it is long, then the
    # address, size and file on the next.
    /^ \.text\./ {
      if (NF >= 4) { take($1, $4); pending = "" } else pending = $1
      next
    }
    pending != "" && NF >= 3 && $1 ~ /^0x/ { take(pending, $3) }
    { pending = "" }
  ' "$1" | sort -u
}

# A function with internal linkage (an anonymous namespace or "static")
# is told apart by its file; any other by its name alone.
keys() {
  awk '{ if ($2 ~ /_GLOBAL__N_|^_ZL/) print $1 ":" $2; else print $2 }' "$1" | sort -u
}

kept "$build/tarn.map" >"$work/tarn"
cat <(kept "$build/tests/tarn_core_tests.map") <(kept "$build/tests/tarn_ui_tests.map") |
  awk '$1 != "-"' | sort -u >"$work/tests"
keys "$work/tarn" >"$work/tarn.keys"

# Tarn functions of the tests, less those the program keeps.
awk 'NR == FNR { inTarn[$0] = 1; next }
     { key = ($2 ~ /_GLOBAL__N_|^_ZL/) ? $1 ":" $2 : $2; if (!(key in inTarn)) print }' \
  "$work/tarn.keys" "$work/tests" >"$work/only"
# Named as "FILE: function(arguments)", demangled.
paste -d' ' <(cut -d' ' -f1 "$work/only" | sed 's/$/:/') \
  <(cut -d' ' -f2 "$work/only" | c++filt) | sort -u >"$work/found"

# The allow-list: one function a line as listed here, then " # " and why it
# must stay; blank lines and lines starting with # are comments.
touch "$work/allowed"
if [ -f "$allow" ]; then
  # (" # ": a lambda's name holds a '#' of its own, "{lambda()#1}".)
  grep -v '^[[:space:]]*\(#\|$\)' "$allow" | sed 's/[[:space:]][[:space:]]*#[[:space:]].*$//' |
    sort -u >"$work/allowed"
fi
comm -23 "$work/found" "$work/allowed" >"$work/new"
comm -13 "$work/found" "$work/allowed" >"$work/gone"

total=$(wc -l <"$work/found")
if [ -s "$work/gone" ]; then
  echo "check-test-only-code: allowed in tools/test-only-code.allow but no longer test-only (remove the line):"
  sed 's/^/  /' "$work/gone"
fi
if [ -s "$work/new" ]; then
  echo "check-test-only-code: functions of Tarn that only the tests reach:"
  sed 's/^/  /' "$work/new"
  echo "Remove them with their tests, or test them through the code of Tarn that should call them."
  echo "check-test-only-code: $(wc -l <"$work/new") new, $total in all"
  exit 1
fi
echo "check-test-only-code: $total test-only function(s), all allowed"
