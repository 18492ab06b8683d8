#!/usr/bin/env bash
# The library as a user adopts it: installs the Windows build's Development
# component into a fresh prefix and checks that it is a library prefix (the
# public headers, the libraries, vantrel.dll, the package config, no
# program) and that only its own major version finds the package; builds
# examples/centre_window and tests/package (a program
# with <windows.h> first, min and max of its own, no C++ standard set; one
# without <windows.h>) from that prefix alone; runs them under Wine on the
# three-monitor layout. Prints what the one header costs a file that
# includes it: its preprocessed lines against those of the standard headers
# it includes, at most 1.15 times as many (no <windows.h>).
#   run-example.sh BUILD_DIR SOURCE_DIR
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
fail() { echo "run-example: $*" >&2; exit 1; }

prefix="$VANTREL_TMP/prefix-install"
cmake --install "$build" --component Development --prefix "$prefix" >/dev/null
# No program: of bin/, only vantrel.dll, which a program built against the
# prefix runs with.
[ "$(ls "$prefix/bin")" = vantrel.dll ] && [ ! -e "$prefix/README.md" ] ||
  fail "the Development prefix holds the program"
installed=$(cd "$prefix/include" && find . -name '*.h' | sed 's|^\./||' | sort)
# The public headers: those of the sources, and the version the build makes.
public=$({ cd "$source_dir/src" && find . -path '*/include/*.h' | sed 's|^\./.*/include/vantrel/|vantrel/|'
  echo vantrel/vantrel_version.h; } | sort)
[ "$installed" = "$public" ] ||
  fail "installed headers differ from the public ones: $(diff <(echo "$installed") <(echo "$public") | tr '\n' ' ')"
echo "run-example: the prefix holds the $(wc -l <<<"$installed") public headers, vantrel.dll and no program"

# The package's version is the library's (the C header's), and only its
# own major version finds it: a program that asked for 1.0 is refused 2.x,
# whose calls changed what they return.
eval "$(sed -n 's/^#define VANTREL_VERSION_\([A-Z]*\) \([0-9]*\)$/\1=\2/p' "$prefix/include/vantrel/vantrel_version.h")"
have=$MAJOR.$MINOR.$PATCH
for wanted in 1.0 "$MAJOR.0" "$have" "$MAJOR.$((MINOR + 1))" "$((MAJOR + 1)).0"; do
  mkdir -p "$VANTREL_TMP/wants/$wanted"
  printf 'cmake_minimum_required(VERSION 3.25)\nproject(wants NONE)\nfind_package(Vantrel %s CONFIG REQUIRED)\n' \
    "$wanted" >"$VANTREL_TMP/wants/$wanted/CMakeLists.txt"
  out=$(cmake -G Ninja -S "$VANTREL_TMP/wants/$wanted" -B "$VANTREL_TMP/wants/$wanted/build" -DCMAKE_PREFIX_PATH="$prefix" 2>&1) &&
    found=yes || found=no
  case $wanted in "$MAJOR.0" | "$have") [ $found = yes ] ;; *) [ $found = no ] && grep -q "version: $have" <<<"$out" ;; esac ||
    fail "find_package(Vantrel $wanted) found=$found with $have installed: $out"
done
echo "run-example: the package is $have; find_package(Vantrel 1.0) refuses it, $MAJOR.0 takes it"

mkdir -p "$VANTREL_TMP/preprocess"
echo '#include <vantrel/vantrel.h>' >"$VANTREL_TMP/preprocess/ours.cpp"
find "$prefix/include" -name '*.h' -exec grep -h '^#include <' {} + | grep -v '<vantrel/' | sort -u \
  >"$VANTREL_TMP/preprocess/standard.cpp"
lines() {
  x86_64-w64-mingw32-g++-posix -std=c++20 -E -I"$prefix/include" "$1" | grep -cv '^[[:space:]]*$'
}
ours=$(lines "$VANTREL_TMP/preprocess/ours.cpp")
standard=$(lines "$VANTREL_TMP/preprocess/standard.cpp")
echo "run-example: <vantrel/vantrel.h> preprocesses to $ours non-blank lines, its standard headers" \
  "($(grep -c . "$VANTREL_TMP/preprocess/standard.cpp")) to $standard:" \
  "$(awk -v a="$ours" -v b="$standard" 'BEGIN { printf "%.3f", a / b }')x"
awk -v a="$ours" -v b="$standard" 'BEGIN { exit !(a <= 1.15 * b) }' ||
  fail "the public headers cost more than 1.15 times their standard headers"

for project in examples/centre_window tests/package; do
  cmake -S "$source_dir/$project" -B "$VANTREL_TMP/${project##*/}" -G Ninja \
    --toolchain "$source_dir/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" >/dev/null
  cmake --build "$VANTREL_TMP/${project##*/}" >/dev/null
done

vantrel_start_xorg three
vantrel_start_wine

# The consumer: every monitor and the virtual screen, as the layout has them.
out=$(wine "$VANTREL_TMP/package/consumer.exe" </dev/null | tr -d '\r')
echo "$out"
[ "$(sed -n 's/^monitor: //p' <<<"$out" | sort)" = "$(vantrel_layout_windows three | sort)" ] ||
  fail "the consumer's monitors are not the layout's"
grep -qx "desktop: $(vantrel_layout_desktop three)" <<<"$out" || fail "the consumer's desktop is not the layout's"

# The one without <windows.h>: every display, and the same monitor found by
# the list and by the snapshot.
out=$(wine "$VANTREL_TMP/package/consumer_without_windows_h.exe" </dev/null | tr -d '\r')
echo "$out"
[ "$(sed -n 's/^display: //p' <<<"$out" | sort)" = "$(vantrel_layout_windows three | sort)" ] ||
  fail "the displays of the program without <windows.h> are not the layout's"
grep -qx "monitors: 3" <<<"$out" && grep -qx "same monitor: yes" <<<"$out" ||
  fail "the program without <windows.h> did not find the monitors"

# The example, with the mouse cursor in the middle of the monitor left of the
# primary (the layout's second): the window must be centred on its work area.
IFS=, read -r l t r b < <(vantrel_layout_windows three | sed -n 2p)
IFS='x+' read -r w h x y < <(vantrel_layout three | sed -n 2p)
xdotool mousemove $((x + w / 2)) $((y + h / 2))
cx=$(((l + r) / 2)) cy=$(((t + b) / 2))
out=$(wine "$VANTREL_TMP/centre_window/centre_window.exe" </dev/null | tr -d '\r')
echo "$out"
grep -qx "point: ($cx,$cy)" <<<"$out" || fail "the cursor's point is not ($cx,$cy)"
grep -qx "work area: ($l,$t)-($r,$b)" <<<"$out" || fail "not the left monitor's work area"
window=$(sed -n 's/^window: (\(-\{0,1\}[0-9]*\),\(-\{0,1\}[0-9]*\))-(\(-\{0,1\}[0-9]*\),\(-\{0,1\}[0-9]*\))$/\1 \2 \3 \4/p' <<<"$out")
[ -n "$window" ] || fail "no window line"
read -r wl wt wr wb <<<"$window"
[ $((wr - wl)) -eq 400 ] && [ $((wb - wt)) -eq 300 ] || fail "the window changed size: $window"
dx=$(((wl + wr) / 2 - cx)) dy=$(((wt + wb) / 2 - cy))
[ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ] || fail "window centre off ($cx,$cy) by ($dx,$dy)"
echo "run-example: centred on the left monitor's work area"
