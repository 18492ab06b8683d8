#!/usr/bin/env bash
# Runs one Windows program under Wine; the cross build's test emulator.
# The test scripts prepare a Wine prefix and an X display and export them;
# started on its own, this uses a private prefix and a virtual X server of its
# own for the one run.
set -uo pipefail
export WINEDEBUG="${WINEDEBUG:--all}" WINEARCH=win64 WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/vantrel-wine-$(id -u)}"
if [ -z "${DISPLAY:-}" ]; then
  # The wine server must be gone before the X server it talks to is.
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
    bash -c 'wine "$@"; rc=$?; wineserver -w; exit $rc' wine-exec "$@"
fi
exec wine "$@"
