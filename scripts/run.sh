#!/usr/bin/env bash
# Sets up this machine, builds Vantrel.exe and runs it under Wine.
#  - With an X display (DISPLAY set and answering): the window opens there, in
#    your Wine prefix (WINEPREFIX, or Wine's default), until you press Exit.
#  - Without one: on a private virtual X server with three monitors, the
#    program's report is read back from its window and printed, a screenshot
#    saved, Exit pressed; the X and Wine servers it started are ended.
source "$(dirname "$0")/lib/common.sh"
cd "$(dirname "$0")/.."

bash scripts/setup.sh all
cmake --preset windows >/dev/null
cmake --build --preset windows --target Vantrel report_driver

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
  exec wine build/windows/Vantrel.exe
fi

echo "No X display: running on a private one with three monitors."
exec bash tests/e2e/run-report.sh build/windows xorg three
