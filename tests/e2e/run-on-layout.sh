#!/usr/bin/env bash
# Runs one Windows test program under Wine on a private multi-monitor X
# server (Xorg dummy):
#   run-on-layout.sh PROGRAM.exe [--primary-bar N] WxH+X+Y...   the first primary
#   run-on-layout.sh PROGRAM.exe [--primary-bar N] three        the shared layout
# The program finds what it must check in its environment, worked out from
# the layout here:
#   VANTREL_LAYOUT="l,t,r,b;..."  each monitor as Windows places it, in order
#   VANTREL_DESKTOP="l,t,w,h"     the virtual screen
#   VANTREL_PRIMARY_BAR=N         with --primary-bar: the X server's work area
#                                 leaves N pixels free on the primary's left
#                                 edge, as a desktop's panel would
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
program=$1
shift
bar=
if [ "${1:-}" = --primary-bar ]; then
  bar=$2
  shift 2
fi
VANTREL_LAYOUT=$(vantrel_layout_windows "$@" | paste -sd';')
VANTREL_DESKTOP=$(vantrel_layout_desktop "$@")
export VANTREL_LAYOUT VANTREL_DESKTOP
vantrel_start_xorg "$@"
if [ -n "$bar" ]; then
  export VANTREL_PRIMARY_BAR=$bar
  xprop -root -format _NET_WORKAREA 32c -set _NET_WORKAREA "$(vantrel_layout_workarea "$bar" "$@")"
fi
vantrel_start_wine
wine "$program"
