#!/usr/bin/env bash
# Runs one Windows test program under Wine on a clone layout: the primary, a
# display right of it, and a third output showing the primary's picture
# (xrandr --same-as), which Wine reports as Windows reports a clone group.
#   run-clones.sh PROGRAM.exe
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
vantrel_start_xorg 1024x768+0+0 800x600+1024+0 1024x768+1824+0
xrandr --output DUMMY2 --same-as DUMMY0
# The full query that makes the clone the layout Wine reads.
xrandr >/dev/null
vantrel_start_wine
wine "$1"
