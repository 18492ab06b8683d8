#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the run need, and only
# those missing, and makes the one locale the tests need. Safe to run again;
# does nothing when all are present.
source "$(dirname "$0")/lib/common.sh"

# locales: a locale whose decimal point is a comma, for the test that a
# number's text reads the same in every locale. doxygen: the API reference,
# built from the public headers by the test command, so that a public
# declaration nobody documented fails it.
native=(cmake ninja-build g++ pkg-config googletest libgtest-dev libgmock-dev
  libbenchmark-dev clang libclang-rt-14-dev clang-format locales doxygen)
comma_locale=de_DE.UTF-8
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
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The ci-native and ci-sanitize test presets name it (VANTREL_COMMA_LOCALE).
# locale -a spells its character set in its own way: de_DE.utf8.
made=$(locale -a)
if ! grep -qix "${comma_locale/UTF-8/utf8}" <<<"$made"; then
  echo "setup: making the locale $comma_locale" >&2
  entry="$comma_locale ${comma_locale#*.}"
  $sudo sed -i "s/^# *$entry\$/$entry/" /etc/locale.gen
  grep -qx "$entry" /etc/locale.gen || echo "$entry" | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
