#!/usr/bin/env bash
# Start-up of tarn to the main window shown, and its resident memory then:
# median of N runs (default 10) under one Xvfb server.
# Usage: bench/startup_bench.sh [path/to/tarn] [runs]
set -euo pipefail
tarn=${1:-build/tarn}
runs=${2:-10}
home=$(mktemp -d)
mkdir -p "$home/config"
printf '[Options]\nGCC Path=/usr/bin/gcc\n' > "$home/config/Tarn32.ini"
inner=$(mktemp)
cat > "$inner" <<INNER
#!/usr/bin/env bash
for i in \$(seq 1 $runs); do
  start=\$(date +%s%N)
  line=\$(HOME="$home" XDG_CONFIG_HOME="$home/config" TARN_STARTUP_PROBE=1 "$tarn" 2>&1 | grep shown_at_ns)
  shown=\$(echo "\$line" | sed 's/.*shown_at_ns=\([0-9]*\).*/\1/')
  rss=\$(echo "\$line" | sed 's/.*rss=\([0-9]*\).*/\1/')
  echo "\$(( (shown - start) / 1000000 )) \$rss"
done
INNER
chmod +x "$inner"
results=$(xvfb-run -a -s "-screen 0 1280x800x24" "$inner")
rm -rf "$home" "$inner"
echo "$results" | awk '{print "run: " $1 " ms, " $2 " kB"}'
echo "$results" | sort -n -k1 | awk '{t[NR]=$1} END {print "median start-up: " t[int((NR+1)/2)] " ms"}'
echo "$results" | sort -n -k2 | awk '{m[NR]=$2} END {printf "median RSS: %.1f MB\n", m[int((NR+1)/2)]/1024}'
