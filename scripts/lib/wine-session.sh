# Sourced by the scripts that run Windows programs: a private virtual X server
# and a private Wine prefix with its server kept warm, all ended and removed
# when the script ends: normally, on an error, on Ctrl+C or TERM, and even
# when it is killed outright (as ctest ends a test that runs too long).
# Nothing here touches a display or prefix the user already has.

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/layouts.sh"
source "$(dirname "${BASH_SOURCE[0]}")/session-cleanup.sh"

VANTREL_TMP="$(mktemp -d "${TMPDIR:-/tmp}/vantrel.XXXXXX")"

trap vantrel_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A SIGKILL runs no trap, and ctest's timeout kills the test's whole process
# tree: a guard of its own, no child of this shell, cleans up once the shell
# is gone.
setsid -f bash -c 'source "$1"; while kill -0 "$2" 2>/dev/null; do sleep 1; done
  [ -d "$3" ] && VANTREL_TMP=$3 vantrel_cleanup' vantrel-guard \
  "$(dirname "${BASH_SOURCE[0]}")/session-cleanup.sh" $$ "$VANTREL_TMP" </dev/null >/dev/null 2>&1

vantrel_remember_x() {
  echo "$1" >>"$VANTREL_TMP/x.pids"
}

# Waits for an X server started with -displayfd to name its display.
vantrel_wait_display() {
  local fdfile=$1 pid=$2 n
  for _ in $(seq 100); do
    n=$(head -n1 "$fdfile" 2>/dev/null || true)
    if [ -n "$n" ]; then
      export DISPLAY=":$n"
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "wine-session: the X server did not start" >&2
  return 1
}

# One screen of the given size (default 1024x768).
vantrel_start_xvfb() {
  local size=${1:-1024x768}
  Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp -noreset 9>"$VANTREL_TMP/xvfb.fd" \
    >"$VANTREL_TMP/xvfb.log" 2>&1 &
  vantrel_remember_x $!
  vantrel_wait_display "$VANTREL_TMP/xvfb.fd" $!
}

# Makes a fresh 64-bit prefix ready for the programs: Tahoma copied in (and
# Marlett, which the caption buttons need), captions drawn without a window
# manager, no X input method (libX11's XOpenIM, which Wine runs in every new
# thread, is not thread-safe: threads starting at once once broke the host
# heap), and a program that crashes ends at once instead of waiting on
# winedbg's dialog.
vantrel_make_prefix() {
  WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    wineboot -i >/dev/null 2>&1
  WINEPREFIX=$1 wineserver -w
  mkdir -p "$1/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$1/drive_c/windows/Fonts/" 2>/dev/null || true
  cat >"$1/vantrel.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Decorated"="N"
"UseXIM"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all wine regedit /S "Z:${1//\//\\}\\vantrel.reg" >/dev/null 2>&1
  WINEPREFIX=$1 wineserver -w
}

# A prefix whose server stays up between programs (each start then takes a
# fraction of a second). Copied from VANTREL_PREFIX_TEMPLATE when the test
# command has made one (a new prefix takes over ten seconds, a copy one).
# An optional DPI (default 96) scales the whole session, as a display scaled
# to 150 % does at 144.
vantrel_start_wine() {
  local dpi=${1:-96}
  export WINEPREFIX="$VANTREL_TMP/prefix" WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -n "${VANTREL_PREFIX_TEMPLATE:-}" ] && [ -d "$VANTREL_PREFIX_TEMPLATE" ]; then
    cp -a "$VANTREL_PREFIX_TEMPLATE" "$WINEPREFIX"
  else
    vantrel_make_prefix "$WINEPREFIX"
  fi
  if [ "$dpi" != 96 ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w
  fi
  wineserver -p
  # Wine's own background processes start with the first program and stay
  # with the kept server; started here, they hold no test's output open.
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

# Several monitors: Xorg's dummy driver with one output per rectangle, given
# as WxH+X+Y in the X server's root coordinates, the first one primary.
# Wine then places the primary at (0, 0) and the others relative to it, one
# display adapter per output in output order.
# "three" names the shared three-monitor layout.
vantrel_start_xorg() {
  local here
  here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
  mapfile -t rects < <(vantrel_layout "$@")
  set -- "${rects[@]}"
  Xorg -displayfd 9 -config "$here/xorg-dummy.conf" -noreset -nolisten tcp -novtswitch -sharevts \
    -logfile "$VANTREL_TMP/xorg.log" 9>"$VANTREL_TMP/xorg.fd" >"$VANTREL_TMP/xorg.out" 2>&1 &
  vantrel_remember_x $!
  vantrel_wait_display "$VANTREL_TMP/xorg.fd" $! || return 1
  local args=() k=0 rect size pos
  for rect in "$@"; do
    size=${rect%%+*}
    pos=${rect#*+}
    pos=${pos/+/x}
    xrandr --addmode "DUMMY$k" "$size" 2>/dev/null || true
    args+=(--output "DUMMY$k" --mode "$size" --pos "$pos")
    [ "$k" -eq 0 ] && args+=(--primary)
    k=$((k + 1))
  done
  xrandr "${args[@]}"
  # Wine reads the server's current configuration without asking it to look
  # again; one full query makes the new layout the current one.
  xrandr >/dev/null
}

# Runs one step of a test, ended after SECONDS with a line naming it: a
# Windows program that hangs then fails its own step, not the whole test at
# ctest's limit with no word of where.
vantrel_bounded() {
  local seconds=$1 status=0
  shift
  timeout --kill-after=5 "$seconds" "$@" || status=$?
  [ "$status" -eq 124 ] || [ "$status" -eq 137 ] &&
    echo "wine-session: still running after ${seconds} s, ended: $*" >&2
  return "$status"
}

# Waits up to SECONDS for a background process to end and returns its exit
# status; 124 when it is still running, which is then ended.
vantrel_wait_bounded() {
  local seconds=$1 pid=$2 status=0
  for _ in $(seq $((seconds * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 124
  fi
  wait "$pid" || status=$?
  return "$status"
}

# A screenshot of the whole X screen.
vantrel_screenshot() {
  /usr/bin/import -window root "$1"
}
