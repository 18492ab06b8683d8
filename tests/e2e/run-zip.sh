#!/usr/bin/env bash
# The release archive: packs BUILD_DIR/Vantrel-<version>-win64.zip with CPack,
# checks what it holds (the programs, the README and the library package, no
# internal header and no test double) and Vantrel.exe's version record,
# unpacks it and runs the Vantrel.exe inside it end to end on one monitor.
#   run-zip.sh BUILD_DIR SOURCE_DIR VERSION     VERSION as the release says it
source "$(dirname "$0")/../../scripts/lib/common.sh"
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
here="$(cd "$(dirname "$0")" && pwd)"
version=$3
zip="$build/Vantrel-$version-win64.zip"
fail() { echo "run-zip: $*" >&2; exit 1; }

unpacked=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-zip.XXXXXX")
trap 'rm -rf "$unpacked"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

rm -f "$zip"
(cd "$build" && cpack -G ZIP >/dev/null)
[ -f "$zip" ] || fail "no $(basename "$zip")"
echo "$(basename "$zip"): $(stat -c %s "$zip") bytes"

(cd "$unpacked" && cmake -E tar xf "$zip")
root="$unpacked/Vantrel-$version-win64"
for f in bin/Vantrel.exe bin/vantrel-list.exe bin/vantrel-layout.exe README.md include/vantrel/vantrel.h lib/cmake/Vantrel/VantrelConfig.cmake \
  lib/cmake/Vantrel/VantrelConfigVersion.cmake lib/libvantrel_model.a bin/vantrel.dll \
  include/vantrel/vantrel_c.h include/vantrel/vantrel_version.h lib/libvantrel.dll.a lib/vantrel.lib lib/vantrel.def; do
  [ -f "$root/$f" ] || fail "the archive lacks $f"
done
installed=$(cd "$root/include" && find . -name '*.h' | sed 's|^\./||' | sort)
# The public headers: those of the sources, and the version the build makes.
public=$({ cd "$source_dir/src" && find . -path '*/include/*.h' | sed 's|^\./[^/]*/include/||'
  echo vantrel/vantrel_version.h; } | sort)
[ "$installed" = "$public" ] || fail "the archive's headers are not the public ones"
# No test double, by file or by symbol, in what users get.
if find "$root" -name '*simulated*' -o -name '*testing*' -o -name '*toolkit_doubles*' | grep -q . ||
  x86_64-w64-mingw32-nm -C "$root"/lib/*.a 2>/dev/null | grep -Eq 'Simulated|testing_doubles'; then
  fail "the archive holds test doubles"
fi
# Vantrel.exe's version record, every text of it.
[ "$(wrestool -x --raw --type=16 "$root/bin/Vantrel.exe" | strings -el | paste -sd'|')" = "VS_VERSION_INFO|\
StringFileInfo|040904b0|FileDescription|Vantrel monitor report|FileVersion|$version|InternalName|\
Vantrel|OriginalFilename|Vantrel.exe|ProductName|Vantrel|ProductVersion|$version|VarFileInfo|Translation" ] ||
  fail "Vantrel.exe's version record is not the one it had"
VANTREL_EXE="$root/bin/Vantrel.exe" bash "$here/run-report.sh" "$build" xvfb 1024x768
