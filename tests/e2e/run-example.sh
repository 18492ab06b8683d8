#!/usr/bin/env bash
# The library as a user adopts it: installs the Windows build into a fresh
# prefix, builds examples/centre_window from that prefix alone, and runs it
# under Wine on the three-monitor layout with the mouse cursor on the monitor
# left of the primary. The window must end up centred on that monitor's work
# area.
#   run-example.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../scripts/lib/wine-session.sh"

prefix="$VANTREL_TMP/prefix-install"
cmake --install "$build" --prefix "$prefix" >/dev/null
cmake -S "$source_dir/examples/centre_window" -B "$VANTREL_TMP/example" -G Ninja \
  --toolchain "$source_dir/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" >/dev/null
cmake --build "$VANTREL_TMP/example" >/dev/null

vantrel_start_xorg three
vantrel_start_wine
# X root (512, 484) is the middle of the left monitor: Wine's (-512, 484).
xdotool mousemove 512 484
out=$(wine "$VANTREL_TMP/example/centre_window.exe" </dev/null | tr -d '\r')
echo "$out"

fail() { echo "run-example: $*" >&2; exit 1; }
grep -qx 'point: (-512,484)' <<<"$out" || fail "the cursor's point is not (-512,484)"
grep -qx 'work area: (-1024,100)-(0,868)' <<<"$out" || fail "not the left monitor's work area"
window=$(sed -n 's/^window: (\(-\{0,1\}[0-9]*\),\(-\{0,1\}[0-9]*\))-(\(-\{0,1\}[0-9]*\),\(-\{0,1\}[0-9]*\))$/\1 \2 \3 \4/p' <<<"$out")
[ -n "$window" ] || fail "no window line"
read -r l t r b <<<"$window"
[ $((r - l)) -eq 400 ] && [ $((b - t)) -eq 300 ] || fail "the window changed size: $window"
cx=$(((l + r) / 2)) cy=$(((t + b) / 2))
dx=$((cx + 512)) dy=$((cy - 484))
[ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ] || fail "window centre ($cx,$cy), not (-512,484)"
echo "run-example: centred on the left monitor's work area"
