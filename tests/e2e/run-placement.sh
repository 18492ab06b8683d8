#!/usr/bin/env bash
# Windows that come back where they were: examples/remember_window built from
# a Development-only install, run again and again under Wine on the
# three-monitor layout with a 100-pixel bar on the primary's left edge, each
# run restoring what the one before saved:
#   right monitor, same layout   the very rectangle again
#   primary, right of its bar    the very rectangle again
#   maximized on the left        maximized on the left again
#   96 DPI -> 144 DPI            1.5 times the size (Wine: one DPI for all)
#   the other two turned off     wholly within the primary's work area, its
#                                size kept
#   run-placement.sh BUILD_DIR SOURCE_DIR
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
fail() { echo "run-placement: $*" >&2; exit 1; }

prefix="$VANTREL_TMP/prefix-install"
cmake --install "$build" --component Development --prefix "$prefix" >/dev/null
cmake -S "$source_dir/examples/remember_window" -B "$VANTREL_TMP/remember_window" -G Ninja \
  --toolchain "$source_dir/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" >/dev/null
cmake --build "$VANTREL_TMP/remember_window" >/dev/null
exe="$VANTREL_TMP/remember_window/remember_window.exe"

bar=100
vantrel_start_xorg three
xprop -root -format _NET_WORKAREA 32c -set _NET_WORKAREA "$(vantrel_layout_workarea "$bar" three)"
vantrel_start_wine
mapfile -t layout < <(vantrel_layout_windows three)
IFS=, read -r pl pt pr pb <<<"${layout[0]}"
IFS=, read -r ll lt lr lb <<<"${layout[1]}"
IFS=, read -r rl rt rr rb <<<"${layout[2]}"

# Runs the example on FILE with the options given, then closed; sets $placed
# ("L,T,R,B" right after it was put back maximized), $shown and $zoomed (as
# it first showed), and $window and $wzoomed (after the options' steps).
run() {
  local out
  out=$(cd "$VANTREL_TMP" && wine "$exe" --file "$@" --close </dev/null | tr -d '\r')
  echo "$out" | sed 's/^/  /'
  placed=$(sed -n 's/^placed: \([-0-9,]*\) zoomed=1 .*/\1/p' <<<"$out")
  read -r shown zoomed < <(sed -n 's/^shown: \([-0-9,]*\) zoomed=\([01]\) .*/\1 \2/p' <<<"$out")
  read -r window wzoomed < <(sed -n 's/^window: \([-0-9,]*\) zoomed=\([01]\) .*/\1 \2/p' <<<"$out")
  [ -n "$shown" ] && [ -n "$window" ] && grep -q '^saved: vantrel-placement 1 ' <<<"$out" ||
    fail "no window lines or no saved line"
}
size_of() { IFS=, read -r l t r b <<<"$1"; echo "$((r - l))x$((b - t))"; }
within() {  # RECT WORK: the rectangle wholly within the work area
  IFS=, read -r l t r b <<<"$1"
  IFS=, read -r wl wt wr wb <<<"$2"
  [ "$l" -ge "$wl" ] && [ "$t" -ge "$wt" ] && [ "$r" -le "$wr" ] && [ "$b" -le "$wb" ]
}

right="$((rl + 200)),$((rt + 150)),$((rl + 600)),$((rt + 450))"
run a.txt --move "$right"
[ "$window" = "$right" ] || fail "not moved to the right monitor: $window"
cp "$VANTREL_TMP/a.txt" "$VANTREL_TMP/dpi.txt"
cp "$VANTREL_TMP/a.txt" "$VANTREL_TMP/one.txt"
primary="$((pl + bar + 150)),$((pt + 200)),$((pl + bar + 650)),$((pt + 500))"
run a.txt --move "$primary"
[ "$shown" = "$right" ] || fail "the right monitor's window came back at $shown, not $right"
echo "run-placement: on the right monitor, back at $shown"
run a.txt --move "$((ll + 100)),$((lt + 100)),$((ll + 500)),$((lt + 400))" --maximize
[ "$shown" = "$primary" ] || fail "the window right of the primary's bar came back at $shown, not $primary"
echo "run-placement: on the primary right of its bar, back at $shown"
[ "$wzoomed" = 1 ] || fail "not maximized on the left monitor"
run a.txt
# Maximized over the left monitor's work area. Without a window manager, the
# X server soon gives the window back its normal size, still maximized.
IFS=, read -r l t r b <<<"${placed:-0,0,0,0}"
[ "$l" -le "$ll" ] && [ "$t" -le "$lt" ] && [ "$r" -ge "$lr" ] && [ "$b" -ge "$lb" ] &&
  [ $((r - l)) -lt $((lr - ll + 20)) ] && [ $((b - t)) -lt $((lb - lt + 20)) ] ||
  fail "not put back maximized over the left monitor: ${placed:-not maximized}"
IFS=, read -r l t r b <<<"$shown"
[ "$zoomed" = 1 ] && [ $(((l + r) / 2)) -gt "$ll" ] && [ $(((l + r) / 2)) -lt "$lr" ] &&
  [ $(((t + b) / 2)) -gt "$lt" ] && [ $(((t + b) / 2)) -lt "$lb" ] ||
  fail "not maximized on the left monitor once shown: $shown zoomed=$zoomed"
echo "run-placement: maximized on the left monitor again, $placed"

wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
run dpi.txt
[ "$(size_of "$shown")" = 600x450 ] && within "$shown" "${layout[2]}" ||
  fail "saved at 96 DPI as 400x300 on the right, at 144 DPI it is $shown"
echo "run-placement: at 144 DPI, $(size_of "$shown") on the right monitor"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1

# One monitor: Wine hears of an xrandr change within a second or so. The bar
# goes first: after this change Wine would take _NET_WORKAREA's root
# coordinates for its own, 1024 pixels off.
xprop -root -remove _NET_WORKAREA
xrandr --output DUMMY1 --off --output DUMMY2 --off
xrandr >/dev/null
for _ in $(seq 50); do
  [ "$(wine "$build/vantrel-list.exe" --json | jq '.displays | length')" = 1 ] && break
  sleep 0.2
done
run one.txt
within "$shown" "${layout[0]}" && [ "$(size_of "$shown")" = 400x300 ] ||
  fail "on one monitor the window is $shown, not a 400x300 within the primary's work area"
echo "run-placement: on one monitor, $shown within the primary's work area"
