#!/usr/bin/env bash
# Runs one Windows test program under Wine on a clone layout: the primary,
# a display right of it, and a third output showing the primary's picture
# (xrandr --same-as), which Wine reports as Windows reports a clone group:
# one adapter with two monitors, one DisplayConfig source with two paths.
#   run-clones.sh PROGRAM.exe
# VANTREL_LAYOUT holds the two displays as Windows places them.
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
displays=(1024x768+0+0 800x600+1024+0)
VANTREL_LAYOUT=$(vantrel_layout_windows "${displays[@]}" | paste -sd';')
export VANTREL_LAYOUT
vantrel_start_xorg "${displays[@]}" 1024x768+1824+0
xrandr --output DUMMY2 --same-as DUMMY0
# The full query that makes the clone the layout Wine reads.
xrandr >/dev/null
vantrel_start_wine
wine "$1"
