# Sourced by wine-session.sh: what the scripts and tests share about the
# program and the monitor layouts they run it on.

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
