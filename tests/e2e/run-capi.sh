#!/usr/bin/env bash
# vantrel.dll as programs outside this repository use it, under Wine on the
# three-monitor layout. Installs Runtime and Development into a fresh prefix
# and checks what they ship: the DLL exporting exactly vantrel.def and
# importing only system DLLs, both import libraries, the .def and the headers
# (vantrel_c.h and the version it includes). From that prefix alone it
# builds a C99 program (MinGW's gcc, -pedantic) checked against the layout,
# a program that reaches the DLL by name only, as ctypes and P/Invoke do, and
# a freestanding one compiled by clang for the MSVC target and linked by
# lld-link against vantrel.lib. The last two print the JSON, which must be
# vantrel-list's and the layout's. Last, a program that runs on with a
# watcher (c_long_running.c) puts back a layout another process changed, and
# gets each way a change of the displays can end as its status.
#   run-capi.sh BUILD_DIR SOURCE_DIR
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
here="$source_dir/tests/capi"
fail() { echo "run-capi: $*" >&2; exit 1; }

prefix="$VANTREL_TMP/prefix-capi"
for component in Runtime Development; do
  cmake --install "$build" --component "$component" --prefix "$prefix" >/dev/null
done
for f in bin/vantrel.dll lib/libvantrel.dll.a lib/vantrel.lib lib/vantrel.def include/vantrel/vantrel_c.h \
  include/vantrel/vantrel_version.h; do
  [ -f "$prefix/$f" ] || fail "the prefix lacks $f"
done
dll="$prefix/bin/vantrel.dll"
exports=$(x86_64-w64-mingw32-objdump -p "$dll" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
listed=$(sed -n '/^EXPORTS/,$s/^ *\([a-z_]\{1,\}\)$/\1/p' "$prefix/lib/vantrel.def" | sort)
[ "$exports" = "$listed" ] || fail "the exports are not vantrel.def's: $(diff <(echo "$exports") <(echo "$listed") | tr '\n' ' ')"
imports=$(x86_64-w64-mingw32-objdump -p "$dll" | awk '/DLL Name/ { print $3 }')
grep -qxiv 'kernel32.dll\|user32.dll\|gdi32.dll\|msvcrt.dll' <<<"$imports" &&
  fail "vantrel.dll imports more than system DLLs: $(echo $imports)"
echo "run-capi: vantrel.dll exports the $(wc -l <<<"$exports") functions of vantrel.def and imports $(echo $imports)"
# Its weight: the C++ runtime is linked in, so one standard facility that
# drags in the locale machinery (std::filesystem's paths do) costs 800 KB,
# and floating-point std::to_chars 170 KB of tables.
size=$(stat -c %s "$dll")
[ "$size" -lt 800000 ] || fail "vantrel.dll is $size bytes, not under 800 KB"

run="$VANTREL_TMP/run"
mkdir -p "$run"
cp "$dll" "$prefix/bin/vantrel-list.exe" "$run/"
gcc=(x86_64-w64-mingw32-gcc -std=c99 -Wall -Wextra -pedantic -Werror -I"$prefix/include")
"${gcc[@]}" "$here/c_program.c" "$prefix/lib/libvantrel.dll.a" -o "$run/c_program.exe"
"${gcc[@]}" "$here/load_by_name.c" -o "$run/load_by_name.exe"
"${gcc[@]}" "$here/c_long_running.c" "$prefix/lib/libvantrel.dll.a" -o "$run/c_long_running.exe"
llvm-dlltool -m i386:x86-64 -d "$here/kernel32.def" -l "$VANTREL_TMP/kernel32.lib"
clang --target=x86_64-pc-windows-msvc -std=c99 -Wall -Wextra -pedantic -Werror -ffreestanding \
  -fno-stack-protector -O2 -I"$prefix/include" -c "$here/msvc_program.c" -o "$VANTREL_TMP/msvc_program.obj"
lld-link /nologo /entry:Start /subsystem:console /nodefaultlib /out:"$run/msvc_program.exe" \
  "$VANTREL_TMP/msvc_program.obj" "$prefix/lib/vantrel.lib" "$VANTREL_TMP/kernel32.lib"

vantrel_start_xorg three
vantrel_start_wine
cd "$run"
wine ./vantrel-list.exe --json >list.json
for program in load_by_name msvc_program; do
  wine "./$program.exe" >"$program.json" || fail "$program ended with $?"
  [ "$(jq -r '.displays[].bounds | "\(.left),\(.top),\(.right),\(.bottom)"' "$program.json")" = \
    "$(vantrel_layout_windows three)" ] || fail "$program's displays are not the layout's"
  cmp -s "$program.json" list.json || fail "$program's JSON is not vantrel-list's"
  echo "run-capi: $program read vantrel-list's JSON of the layout's displays"
done
# Last: they change the layout, the first putting it back as it found it.
VANTREL_LAYOUT=$(vantrel_layout_windows three | paste -sd';') wine ./c_long_running.exe | tr -d '\r'
VANTREL_LAYOUT=$(vantrel_layout_windows three | paste -sd';') wine ./c_program.exe | tr -d '\r'
