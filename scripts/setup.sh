#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run need, and only
# those missing. Safe to run again; does nothing when all are present.
source "$(dirname "$0")/lib/common.sh"

native=(cmake ninja-build g++ pkg-config googletest libgtest-dev libgmock-dev
  libbenchmark-dev clang libclang-rt-14-dev clang-format)
# The Windows build: the posix-threads MinGW variant (GoogleTest needs it),
# 64-bit Wine only (wine32 breaks 64-bit wine here), X servers for one and
# several monitors, and the X tools the end-to-end tests drive; llvm's
# llvm-dlltool makes MSVC's vantrel.lib, and lld's lld-link links the test
# program built the MSVC way.
windows=(g++-mingw-w64-x86-64-posix wine64 wine fonts-wine libxrandr2 libxinerama1
  xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-utils
  xdotool imagemagick icoutils jq llvm lld)

want=("${native[@]}")
case "${1:-all}" in
native) ;;
all) want+=("${windows[@]}") ;;
*) echo "usage: $0 [native|all]" >&2; exit 2 ;;
esac

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
echo "setup: installing ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
