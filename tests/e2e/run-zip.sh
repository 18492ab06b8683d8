#!/usr/bin/env bash
# The release archive: packs BUILD_DIR/Vantrel-1.00-win64.zip with CPack,
# checks what it holds, unpacks it and runs the Vantrel.exe inside it end to
# end on one monitor.
#   run-zip.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here="$(cd "$(dirname "$0")" && pwd)"
zip="$build/Vantrel-1.00-win64.zip"

rm -f "$zip"
(cd "$build" && cpack -G ZIP >/dev/null)
[ -f "$zip" ] || { echo "run-zip: no $(basename "$zip")" >&2; exit 1; }
echo "$(basename "$zip"): $(stat -c %s "$zip") bytes"

unpacked=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-zip.XXXXXX")
trap 'rm -rf "$unpacked"' EXIT
(cd "$unpacked" && cmake -E tar xf "$zip")
root="$unpacked/Vantrel-1.00-win64"
for f in bin/Vantrel.exe README.md include/vantrel/vantrel.h lib/cmake/Vantrel/VantrelConfig.cmake \
  lib/cmake/Vantrel/VantrelConfigVersion.cmake lib/libvantrel_monitors.a; do
  [ -f "$root/$f" ] || { echo "run-zip: the archive lacks $f" >&2; exit 1; }
done
# No test double, by file or by symbol, in what users get.
if find "$root" -name '*simulated*' -o -name '*testing*' -o -name '*toolkit_doubles*' | grep -q . ||
  x86_64-w64-mingw32-nm -C "$root"/lib/*.a 2>/dev/null | grep -Eq 'Simulated|testing_doubles'; then
  echo "run-zip: the archive holds test doubles" >&2
  exit 1
fi
VANTREL_EXE="$root/bin/Vantrel.exe" bash "$here/run-report.sh" "$build" xvfb 1024x768
