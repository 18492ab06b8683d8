#!/usr/bin/env bash
# One end-to-end run of Vantrel.exe under Wine on a private X server:
#   run-report.sh BUILD_DIR xvfb WxH           one monitor (Xvfb)
#   run-report.sh BUILD_DIR xorg WxH+X+Y...    several (Xorg dummy), first primary
#   run-report.sh BUILD_DIR xorg three         the shared three-monitor layout
# With VANTREL_DPI set (say 144), the session runs at that DPI; with
# VANTREL_CLOSE=1 the program is ended by closing its window, not by Exit.
# VANTREL_EXE runs another copy of Vantrel.exe than BUILD_DIR's.
# The driver starts the program, checks the window and its report, waits for
# the screenshot (saved as BUILD_DIR/e2e-<layout>.png) and presses Exit.
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
build=$(cd "$1" && pwd)
kind=$2
shift 2

case "$kind" in
xvfb)
  vantrel_start_xvfb "$1"
  layout=("$1+0+0")
  ;;
xorg)
  mapfile -t layout < <(vantrel_layout "$@")
  vantrel_start_xorg "${layout[@]}"
  ;;
*) echo "run-report: unknown server kind $kind" >&2; exit 2 ;;
esac
vantrel_start_wine "${VANTREL_DPI:-96}"

exe=${VANTREL_EXE:-$build/Vantrel.exe}
name="${VANTREL_EXE:+zip-}e2e-$kind-${#layout[@]}-${VANTREL_DPI:-96}dpi"
shown="$VANTREL_TMP/shown"
shot_done="$VANTREL_TMP/shot.done"
wine "$build/tests/report_driver.exe" "$exe" \
  --signal "Z:${shown//\//\\}" --wait-for "Z:${shot_done//\//\\}" \
  ${VANTREL_CLOSE:+--close} "${layout[@]}" &
driver=$!
for _ in $(seq 3000); do
  [ -e "$shown" ] && break
  kill -0 "$driver" 2>/dev/null || break
  sleep 0.01
done
if [ -e "$shown" ]; then
  vantrel_screenshot "$build/$name.png" && echo "screenshot: $name.png"
fi
touch "$shot_done"
wait "$driver"
