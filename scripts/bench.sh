#!/usr/bin/env bash
# Sets up this machine and prints the benchmark figures:
#  - Refresh on simulated desktops of 1 to 64 adapters against the bare
#    sequence of the same service calls (Google Benchmark), with the ratios;
#  - exe sizes;
#  - under Wine, on a private three-monitor X server with a warm Wine server:
#    Refresh against the bare calls on the real user32, and the median time
#    from start to a readable report of Vantrel.exe against a bare Win32
#    window of ours (plain; with Vantrel's manifest; with the manifest and
#    the parts Vantrel's window cannot do without), over RUNS alternating
#    runs (default 30), and Vantrel's start-up in stages (its benchmark
#    build with start-up marks).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-30}

bash scripts/setup.sh all

echo "== Refresh against the bare service calls (simulated service)"
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
# Repetitions in random order, so that both sides see the same machine.
build/bench/bench/bench_refresh --benchmark_repetitions=12 --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_color=false

cmake --preset windows >/dev/null
cmake --build --preset windows --target Vantrel Vantrel_marks bare_window bare_window_manifest \
  bare_window_parts startup_bench refresh_user32_bench >/dev/null

echo "== sizes"
for exe in Vantrel.exe bench/bare_window.exe; do
  printf '%-24s %8d bytes\n' "$exe" "$(stat -c %s "build/windows/$exe")"
done
echo "Vantrel.exe imports: $(x86_64-w64-mingw32-objdump -p build/windows/Vantrel.exe |
  awk '/DLL Name/ { printf "%s ", $3 }')"

echo "== under Wine, three monitors: Refresh against the bare calls; start-up"
source scripts/lib/wine-session.sh
vantrel_start_xorg three
vantrel_start_wine
wine build/windows/bench/refresh_user32_bench.exe
# Against the bare window, then against the same with Vantrel's manifest (DPI
# awareness and visual styles, whose loading is the platform's cost).
wine build/windows/bench/startup_bench.exe "$runs" \
  build/windows/Vantrel.exe "$VANTREL_CAPTION" build/windows/bench/bare_window.exe Bare
wine build/windows/bench/startup_bench.exe "$runs" \
  build/windows/Vantrel.exe "$VANTREL_CAPTION" build/windows/bench/bare_window_manifest.exe Bare
# And against that window with the parts Vantrel's own window cannot do without
# (icon, Exit with the focus, Tahoma, the display calls), in plain Win32.
wine build/windows/bench/startup_bench.exe "$runs" \
  build/windows/Vantrel.exe "$VANTREL_CAPTION" build/windows/bench/bare_window_parts.exe Bare

echo "== Vantrel's start-up in stages: ms since the process was created, median of $runs runs"
marks="$VANTREL_TMP/marks"
for _ in $(seq "$runs"); do wine build/windows/bench/Vantrel_marks.exe </dev/null | tr -d '\r'; done >"$marks"
previous=0
for stage in $(head -n1 "$marks" | tr ' ' '\n' | cut -d= -f1); do
  median=$(tr ' ' '\n' <"$marks" | sed -n "s/^$stage=//p" | sort -n |
    awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }')
  awk -v s="$stage" -v m="$median" -v p="$previous" 'BEGIN { printf "  %-9s %7.1f ms  (+%.1f)\n", s, m, m - p }'
  previous=$median
done
