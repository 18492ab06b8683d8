#!/usr/bin/env bash
# Sets up this machine and prints the benchmark figures:
#  - exe sizes;
#  - under Wine, on a private virtual X server with a warm Wine server: the
#    median time from start to a readable report of Vantrel.exe against a
#    bare Win32 window of ours, over RUNS alternating runs (default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-30}

bash scripts/setup.sh all
cmake --preset windows >/dev/null
cmake --build --preset windows --target Vantrel bare_window startup_bench >/dev/null

echo "== sizes"
for exe in Vantrel.exe bench/bare_window.exe; do
  printf '%-24s %8d bytes\n' "$exe" "$(stat -c %s "build/windows/$exe")"
done
echo "Vantrel.exe imports: $(x86_64-w64-mingw32-objdump -p build/windows/Vantrel.exe |
  awk '/DLL Name/ { printf "%s ", $3 }')"

echo "== start-up under Wine"
source scripts/lib/wine-session.sh
vantrel_start_xvfb 1024x768
vantrel_start_wine
wine build/windows/bench/startup_bench.exe "$runs" \
  build/windows/Vantrel.exe Orlavin build/windows/bench/bare_window.exe Bare
