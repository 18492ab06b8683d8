# The monitor layouts the scripts and tests run on, in one place. Sourced by
# wine-session.sh; the tests get every figure they check from here, through
# the environment run-on-layout.sh exports.

# The report window's caption, which the drivers find it by.
VANTREL_CAPTION=Orlavin

# Three monitors, as WxH+X+Y in X root coordinates, the first primary: one
# left of the primary and 100 pixels lower, one right of it.
VANTREL_THREE_MONITORS=(1280x1024+1024+0 1024x768+0+100 1024x768+2304+0)

# Prints the rectangles of a layout, one a line: "three" for the one above,
# anything else as given.
vantrel_layout() {
  if [ "$#" -eq 1 ] && [ "$1" = three ]; then
    printf '%s\n' "${VANTREL_THREE_MONITORS[@]}"
  else
    printf '%s\n' "$@"
  fi
}

# The same monitors as Windows (and Wine) places them: the primary's corner
# is the origin. One "left,top,right,bottom" a line, in output order.
vantrel_layout_windows() {
  vantrel_layout "$@" | awk -F'[x+]' '
    NR == 1 { x0 = $3; y0 = $4 }
    { printf "%d,%d,%d,%d\n", $3 - x0, $4 - y0, $3 - x0 + $1, $4 - y0 + $2 }'
}

# The virtual screen of a layout as Windows gives it: "left,top,width,height".
vantrel_layout_desktop() {
  vantrel_layout_windows "$@" | awk -F, '
    NR == 1 { l = $1; t = $2; r = $3; b = $4 }
    { if ($1 < l) l = $1; if ($2 < t) t = $2; if ($3 > r) r = $3; if ($4 > b) b = $4 }
    END { printf "%d,%d,%d,%d\n", l, t, r - l, b - t }'
}

# _NET_WORKAREA for a bar of N pixels on the primary's left edge, in X root
# coordinates: "x,y,width,height".
vantrel_layout_workarea() {
  local bar=$1
  shift
  vantrel_layout "$@" | head -n1 | awk -F'[x+]' -v bar="$bar" '
    { printf "%d,%d,%d,%d\n", $3 + bar, $4, $1 - bar, $2 }'
}
