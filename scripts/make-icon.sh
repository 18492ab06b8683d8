#!/usr/bin/env bash
# Draws the application icon (two monitors side by side, the right one
# showing report lines) at 16, 32 and 48 pixels and packs them into
# src/report/res/vantrel.ico. The .ico is committed; run this after changing the
# drawing. Needs Debian's imagemagick and icoutils.
source "$(dirname "$0")/lib/common.sh"
cd "$(dirname "$0")/.."
convert=/usr/bin/convert  # Debian's ImageMagick, not whatever else is on PATH
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

draw() {  # size
  local n=$1
  # Coordinates are laid out on a 48-unit grid and scaled to the size.
  local s
  s=$(awk -v n="$n" 'BEGIN { print n / 48 }')
  sc() { awk -v s="$s" -v v="$1" 'BEGIN { printf "%.2f", v * s }'; }
  "$convert" -size "${n}x${n}" xc:none \
    -fill '#2b3a4a' -draw "roundrectangle $(sc 1) $(sc 8) $(sc 22) $(sc 30) $(sc 2) $(sc 2)" \
    -fill '#5fa8e8' -draw "rectangle $(sc 3) $(sc 10) $(sc 20) $(sc 27)" \
    -fill '#2b3a4a' -draw "roundrectangle $(sc 18) $(sc 4) $(sc 47) $(sc 34) $(sc 2) $(sc 2)" \
    -fill '#eaf4fc' -draw "rectangle $(sc 20) $(sc 6) $(sc 45) $(sc 31)" \
    -fill '#2f6fb0' -draw "rectangle $(sc 23) $(sc 10) $(sc 42) $(sc 12)" \
    -fill '#2f6fb0' -draw "rectangle $(sc 23) $(sc 16) $(sc 38) $(sc 18)" \
    -fill '#2f6fb0' -draw "rectangle $(sc 23) $(sc 22) $(sc 40) $(sc 24)" \
    -fill '#2b3a4a' -draw "rectangle $(sc 29) $(sc 34) $(sc 36) $(sc 40)" \
    -fill '#2b3a4a' -draw "roundrectangle $(sc 24) $(sc 40) $(sc 41) $(sc 44) $(sc 1) $(sc 1)" \
    "PNG32:$tmp/icon$n.png"
}

for n in 16 32 48; do draw "$n"; done
icotool -c -o src/report/res/vantrel.ico "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png"
echo "wrote src/report/res/vantrel.ico"
