#!/usr/bin/env bash
# Runs one Windows program under Wine; the cross build's test emulator.
# The test scripts prepare a Wine prefix and an X display and export them;
# started without a display, this sets up the same for the one run (a
# private virtual X server and prefix, removed afterwards).
if [ -n "${DISPLAY:-}" ] && [ -n "${WINEPREFIX:-}" ]; then
  source "$(dirname "$0")/lib/common.sh"
  export WINEDEBUG="${WINEDEBUG:--all}" WINEARCH=win64
  exec wine "$@"
fi
source "$(dirname "$0")/lib/wine-session.sh"
vantrel_start_xvfb 1920x1080
vantrel_start_wine
wine "$@"
