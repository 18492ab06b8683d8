#!/usr/bin/env bash
# The release archive: packs BUILD_DIR/Vantrel-<version>-win64.zip with CPack,
# checks what it holds (the programs, the README and the library package, no
# internal header and no test double) and the version records of the five
# binaries, unpacks it and runs the Vantrel.exe inside it end to end on one
# monitor.
#   run-zip.sh BUILD_DIR SOURCE_DIR VERSION     the library's, as "2.1.0"
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
for f in bin/Vantrel.exe bin/vantrel-list.exe bin/vantrel-layout.exe bin/vantrel-keep.exe README.md include/vantrel/vantrel.h lib/cmake/Vantrel/VantrelConfig.cmake \
  lib/cmake/Vantrel/VantrelConfigVersion.cmake lib/libvantrel_model.a bin/vantrel.dll \
  include/vantrel/vantrel_c.h include/vantrel/vantrel_version.h lib/libvantrel.dll.a lib/vantrel.lib lib/vantrel.def; do
  [ -f "$root/$f" ] || fail "the archive lacks $f"
done
installed=$(cd "$root/include" && find . -name '*.h' | sed 's|^\./||' | sort)
# The public headers: those of the sources, and the version the build makes.
public=$({ cd "$source_dir/src" && find . -path '*/include/*.h' | sed 's|^\./.*/include/vantrel/|vantrel/|'
  echo vantrel/vantrel_version.h; } | sort)
[ "$installed" = "$public" ] || fail "the archive's headers are not the public ones"
# No test double, by file or by symbol, in what users get.
if find "$root" -name '*simulated*' -o -name '*testing*' -o -name '*toolkit_doubles*' | grep -q . ||
  x86_64-w64-mingw32-nm -C "$root"/lib/*.a 2>/dev/null | grep -Eq 'Simulated|testing_doubles'; then
  fail "the archive holds test doubles"
fi
# The version records, every text of each and the numbers Windows shows
# (VS_FIXEDFILEINFO's file and product version, after its signature and
# its own version): Vantrel.exe's own version, fixed at 1.00; the library's
# (VERSION) for the DLL and the two tools.
record() { wrestool -x --raw --type=16 "$root/bin/$1"; }
numbers() {
  local hex
  hex=$(record "$1" | od -An -v -tx1 | tr -d ' \n') hex=${hex#*bd04effe}
  for at in 7 5 11 9 15 13 19 17; do printf '%d.' "0x${hex:at*2:2}${hex:at*2-2:2}"; done
}
while IFS=: read -r file description internal wanted dotted; do
  [ "$(record "$file" | strings -el | paste -sd'|')" = "VS_VERSION_INFO|StringFileInfo|040904b0|\
FileDescription|$description|FileVersion|$wanted|InternalName|$internal|OriginalFilename|$file|\
ProductName|Vantrel|ProductVersion|$wanted|VarFileInfo|Translation" ] || fail "$file's version record is not $wanted's"
  [ "$(numbers "$file")" = "$dotted.$dotted." ] || fail "$file's version numbers are $(numbers "$file"), not $dotted"
done <<EOF_RECORDS
Vantrel.exe:Vantrel monitor report:Vantrel:1.00:1.0.0.0
vantrel-list.exe:Vantrel display listing:vantrel-list:$version:$version.0
vantrel-layout.exe:Vantrel display layout:vantrel-layout:$version:$version.0
vantrel-keep.exe:Vantrel desktop memory:vantrel-keep:$version:$version.0
vantrel.dll:Vantrel display library for C:vantrel:$version:$version.0
EOF_RECORDS
VANTREL_EXE="$root/bin/Vantrel.exe" bash "$here/run-report.sh" "$build" xvfb 1024x768
