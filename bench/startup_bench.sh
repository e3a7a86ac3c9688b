#!/usr/bin/env bash
# Start-up of tarn to the main window shown and its first events answered,
# and its resident memory then, against a bare Qt Widgets window with a
# menu bar (bench/bare_window.cpp, the same probe at the same moment): the
# two run alternately under one Xvfb server, N runs each (default 10);
# medians, the ratio and the load average.
# Usage: bench/startup_bench.sh [path/to/tarn] [runs] [path/to/bare_window_bench]
set -euo pipefail
tarn=${1:-build/tarn}
runs=${2:-10}
bare=${3:-$(dirname "$tarn")/bench/bare_window_bench}
if [ ! -x "$bare" ]; then
  echo "no bare window program at $bare (build the bare_window_bench target)" >&2
  exit 1
fi
home=$(mktemp -d)
mkdir -p "$home/config"
printf '[Options]\nGCC Path=/usr/bin/gcc\n' > "$home/config/Tarn32.ini"
inner=$(mktemp)
cat > "$inner" <<INNER
#!/usr/bin/env bash
probe() {
  local start line shown rss
  start=\$(date +%s%N)
  line=\$(HOME="$home" XDG_CONFIG_HOME="$home/config" TARN_STARTUP_PROBE=1 "\$@" 2>&1 | grep shown_at_ns)
  shown=\$(echo "\$line" | sed 's/.*shown_at_ns=\([0-9]*\).*/\1/')
  rss=\$(echo "\$line" | sed 's/.*rss=\([0-9]*\).*/\1/')
  echo "\$(( (shown - start) / 1000000 )) \$rss"
}
for i in \$(seq 1 $runs); do
  echo "bare \$(probe "$bare")"
  echo "tarn \$(probe "$tarn")"
done
INNER
chmod +x "$inner"
load_before=$(cat /proc/loadavg)
results=$(xvfb-run -a -s "-screen 0 1280x800x24" "$inner")
load_after=$(cat /proc/loadavg)
rm -rf "$home" "$inner"
tarn_results=$(echo "$results" | awk '$1 == "tarn" {print $2, $3}')
bare_results=$(echo "$results" | awk '$1 == "bare" {print $2, $3}')
median() { sort -n -k"$1" | awk -v k="$1" '{v[NR]=$k} END {print v[int((NR+1)/2)]}'; }
echo "$tarn_results" | awk '{print "run: " $1 " ms, " $2 " kB"}'
tarn_ms=$(echo "$tarn_results" | median 1)
bare_ms=$(echo "$bare_results" | median 1)
echo "median start-up: $tarn_ms ms"
echo "$tarn_results" | median 2 | awk '{printf "median RSS: %.1f MB\n", $1/1024}'
echo "bare window runs (ms): $(echo "$bare_results" | awk '{printf "%s ", $1}')"
echo "median bare window: $bare_ms ms"
echo "$bare_results" | median 2 | awk '{printf "median bare window RSS: %.1f MB\n", $1/1024}'
awk -v t="$tarn_ms" -v b="$bare_ms" 'BEGIN {printf "tarn / bare window: %.2fx\n", (b > 0 ? t / b : 0)}'
echo "load average before: $load_before"
echo "load average after: $load_after"
