#!/usr/bin/env bash
# Runs one Windows test program under Wine on a private multi-monitor X
# server (Xorg dummy):
#   run-on-layout.sh PROGRAM.exe WxH+X+Y...     the first rectangle primary
#   run-on-layout.sh PROGRAM.exe three          the shared three-monitor layout
# With WORKAREA="x,y,w,h" (root coordinates) the X server's work area is set
# before Wine starts, as a desktop's panel would.
set -euo pipefail
program=$1
shift
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../../scripts/lib/wine-session.sh"
vantrel_start_xorg "$@"
if [ -n "${WORKAREA:-}" ]; then
  xprop -root -format _NET_WORKAREA 32c -set _NET_WORKAREA "$WORKAREA"
fi
vantrel_start_wine
wine "$program"
