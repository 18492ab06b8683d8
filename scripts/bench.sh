#!/usr/bin/env bash
# Sets up this machine and prints the benchmark figures:
#  - Refresh on simulated desktops of 1 to 64 adapters against the bare
#    sequence of the same service calls (Google Benchmark), with the ratios;
#    on the simulated service a call costs some 50 ns against a real one's
#    25-190 us, so this shows the model's own work and has no goal;
#  - exe sizes;
#  - under Wine, a display snapshot with every fact, and one without the
#    mode list, against the same calls made straight; a snapshot through
#    vantrel.dll's C interface against Displays::Take in the same process;
#    a window's place: Fit beside a snapshot without modes, SavePlacement +
#    RestorePlacement against GetWindowPlacement + SetWindowPlacement with a
#    snapshot each; vantrel-list --json from start to its end against a
#    bare console program making the same calls (RUNS alternating runs);
#    the watcher's time from the change to its callback (median and 95th
#    percentile of WATCH_ROUNDS / 2 changes, default 40 rounds) beside the
#    floor, a bare program reading from Wine's broadcast until it sees the
#    final layout, and its idle wake-ups;
#  - under Wine, a three-display layout set by ApplyLayout against the same
#    ChangeDisplaySettingsEx calls made bare, with the desktop resets and a
#    watcher's events per apply (APPLY_ROUNDS pairs of rounds, default 6);
#  - under Wine, on a private three-monitor X server with a warm Wine server:
#    Refresh against the bare calls on the real user32, and the median time
#    from start to a readable report of Vantrel.exe against a bare Win32
#    window of ours (plain; with Vantrel's manifest; with the manifest and
#    the parts Vantrel's window cannot do without), over RUNS alternating
#    runs (default 30), and the start-up in stages of Vantrel and of the two
#    bare windows with the manifest (their builds with start-up marks).
source "$(dirname "$0")/lib/common.sh"
cd "$(dirname "$0")/.."
runs=${RUNS:-30}

bash scripts/setup.sh all

echo "== Refresh against the bare service calls (simulated service)"
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
# Repetitions in random order, so that both sides see the same machine.
build/bench/bench/bench_refresh --benchmark_repetitions=12 --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_color=false

cmake --preset bench-windows >/dev/null
cmake --build --preset bench-windows --target Vantrel Vantrel_marks bare_window bare_window_manifest \
  bare_window_parts bare_window_manifest_marks bare_window_parts_marks startup_bench \
  refresh_user32_bench vantrel-list snapshot_bench capi_bench placement_bench bare_list \
  watcher_bench apply_bench >/dev/null

echo "== sizes"
for exe in Vantrel.exe vantrel-list.exe vantrel.dll bench/bare_window.exe; do
  printf '%-24s %8d bytes\n' "$exe" "$(stat -c %s "build/bench-windows/$exe")"
done
echo "Vantrel.exe imports: $(x86_64-w64-mingw32-objdump -p build/bench-windows/Vantrel.exe |
  awk '/DLL Name/ { printf "%s ", $3 }')"

echo "== under Wine, three monitors: Refresh against the bare calls; start-up"
source scripts/lib/wine-session.sh
vantrel_start_xorg three
vantrel_start_wine
wine build/bench-windows/bench/refresh_user32_bench.exe
# Against the bare window, then against the same with Vantrel's manifest (DPI
# awareness and visual styles, whose loading is the platform's cost).
wine build/bench-windows/bench/startup_bench.exe "$runs" \
  build/bench-windows/Vantrel.exe "$VANTREL_CAPTION" build/bench-windows/bench/bare_window.exe Bare
wine build/bench-windows/bench/startup_bench.exe "$runs" \
  build/bench-windows/Vantrel.exe "$VANTREL_CAPTION" build/bench-windows/bench/bare_window_manifest.exe Bare
# And against that window with the parts Vantrel's own window cannot do without
# (icon, Exit with the focus, Tahoma, the display calls), in plain Win32.
wine build/bench-windows/bench/startup_bench.exe "$runs" \
  build/bench-windows/Vantrel.exe "$VANTREL_CAPTION" build/bench-windows/bench/bare_window_parts.exe Bare

echo "== display facts: a snapshot, with and without modes, against the same calls made straight"
wine build/bench-windows/bench/snapshot_bench.exe

echo "== a snapshot through vantrel.dll's C interface against Displays::Take, in one process"
wine build/bench-windows/capi_bench.exe

echo "== a window's place: Fit beside a snapshot; saved and restored against the bare calls"
wine build/bench-windows/bench/placement_bench.exe

echo "== vantrel-list --json against a bare console program making the same calls, median of $runs alternating runs"
us_of() {  # the microseconds one run takes, start to end, its output kept
  local start end
  start=$(date +%s%N)
  wine "$@" >"$VANTREL_TMP/list.out"
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
us_of build/bench-windows/vantrel-list.exe --json >/dev/null  # one of each first, to warm the caches
us_of build/bench-windows/bench/bare_list.exe >/dev/null
: >"$VANTREL_TMP/list.us"
: >"$VANTREL_TMP/bare.us"
: >"$VANTREL_TMP/pairs"
for _ in $(seq "$runs"); do
  a=$(us_of build/bench-windows/vantrel-list.exe --json)
  b=$(us_of build/bench-windows/bench/bare_list.exe)
  echo "$a" >>"$VANTREL_TMP/list.us"
  echo "$b" >>"$VANTREL_TMP/bare.us"
  awk -v a="$a" -v b="$b" 'BEGIN { printf "%.6f\n", a / b }' >>"$VANTREL_TMP/pairs"
done
list_us=$(median <"$VANTREL_TMP/list.us")
bare_us=$(median <"$VANTREL_TMP/bare.us")
paired=$(median <"$VANTREL_TMP/pairs")
awk -v a="$list_us" -v b="$bare_us" -v p="$paired" 'BEGIN {
  printf "vantrel-list --json %.1f ms, bare program %.1f ms, ratio %.3f; median of the paired ratios %.3f\n",
    a / 1000, b / 1000, a / b, p }'

echo "== start-up in stages: ms since the process was created, median of $runs alternating runs"
# Vantrel's benchmark build beside the two bare windows built with the same
# marks; a stage a bare window does not have is shown as "-".
programs=(Vantrel_marks bare_window_manifest_marks bare_window_parts_marks)
for _ in $(seq "$runs"); do
  for p in "${programs[@]}"; do
    wine "build/bench-windows/bench/$p.exe" </dev/null | tr -d '\r' >>"$VANTREL_TMP/$p.marks"
  done
done
median_of() {
  tr ' ' '\n' <"$VANTREL_TMP/$1.marks" | sed -n "s/^$2=//p" | sort -n |
    awk '{ v[NR] = $1 } END { if (NR) print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
printf '  %-9s %17s %17s %17s\n' stage Vantrel "bare, manifest" "bare, parts"
declare -A previous
for stage in $(head -n1 "$VANTREL_TMP/Vantrel_marks.marks" | tr ' ' '\n' | cut -d= -f1); do
  printf '  %-9s' "$stage"
  for p in "${programs[@]}"; do
    m=$(median_of "$p" "$stage")
    if [ -z "$m" ]; then printf ' %17s' -; continue; fi
    awk -v m="$m" -v p="${previous[$p]:-0}" 'BEGIN { printf " %7.1f (+%6.1f)", m, m - p }'
    previous[$p]=$m
  done
  echo
done

echo "== a layout set: ApplyLayout against the bare calls, resets and watcher events per apply"
VANTREL_BENCH_ROUNDS=${APPLY_ROUNDS:-6} wine build/bench-windows/bench/apply_bench.exe

echo "== the watcher: the change to the callback beside the floor, and wake-ups while idle"
# Last: it changes the layout, round by round.
VANTREL_BENCH_ROUNDS=${WATCH_ROUNDS:-40} wine build/bench-windows/bench/watcher_bench.exe
