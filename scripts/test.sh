#!/usr/bin/env bash
# Sets up this machine and runs every test: the code format check, the
# Windows build's tests under Wine (the package and release zip included)
# and beside them the API reference (no public declaration undocumented),
# the unit tests under the sanitizers and a minute of fuzzing (the fuzz
# targets come from the sanitizers' build).
# Exits non-zero on any failure. Every build is a ci-* preset: its preset
# with every compiler warning an error.
source "$(dirname "$0")/lib/common.sh"
cd "$(dirname "$0")/.."

bash scripts/setup.sh all
source scripts/lib/wine-session.sh

# Each stage's time on its closing line, "== <stage>: N s", and the total's.
stage_name= stage_start=$SECONDS
stage() {
  [ -n "$stage_name" ] && echo "== $stage_name: $((SECONDS - stage_start)) s"
  stage_name=$1 stage_start=$SECONDS
  [ -z "$1" ] || echo "== $1"
}

# The Windows tests each copy one Wine prefix instead of making their own,
# and it is made while the Windows build runs.
vantrel_make_prefix "$VANTREL_TMP/prefix-template" >"$VANTREL_TMP/prefix-template.log" 2>&1 &
template=$!

stage "code format (.clang-format)"
find src testing tests bench fuzz examples -name '*.cpp' -o -name '*.h' -o -name '*.c' |
  xargs clang-format --dry-run --Werror

stage "Windows build"
cmake --preset ci-windows >/dev/null
cmake --build --preset ci-windows
stage ""

# The tests under Wine mostly wait on Wine and the X servers, so the
# reference, the sanitizer stage and the fuzzing run beside them on the
# processor time they leave: SCHED_IDLE, which runs only when no test wants a core, so that it cannot
# hold back a test that times what it checks. The tests' output and time
# follow those stages.
wait "$template" || { cat "$VANTREL_TMP/prefix-template.log" >&2; exit 1; }
export VANTREL_PREFIX_TEMPLATE="$VANTREL_TMP/prefix-template"
vantrel_start_xvfb 1920x1080
vantrel_start_wine
echo "== tests under Wine, beside the next three stages"
# Two at a time: each test has its own X server and prefix; those that time
# what they check run alone (RUN_SERIAL in their registration). A session of
# its own, so that an early exit ends them all. A test that fails runs once
# more: on a shared machine Wine and the X servers now and then stall a
# second or more (a display change, or a wait of Wine's X driver for a
# window manager these servers lack), which a timed check cannot tell from
# a slow program. The first failure's output stays in the log, and a line
# names every test that needed its second run; one that fails twice fails.
setsid bash -c 'ctest --preset ci-windows -j2 --repeat until-pass:2; status=$?
  echo "== tests under Wine: $SECONDS s"; exit $status' >"$VANTREL_TMP/wine-tests.log" 2>&1 &
wine_tests=$!
trap 'kill -- -"$wine_tests" 2>/dev/null || true; vantrel_cleanup' EXIT
idle() { chrt --idle 0 "$@"; }

stage "the API reference"
# Doxygen's warnings are errors: a public declaration without its comment
# fails. The reference needs the native build configured, not built.
idle cmake --preset ci-native >/dev/null
idle cmake --build --preset ci-native --target docs

stage "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# The unit tests run here once, under the sanitizers, every warning an error
# with clang as with GCC in the Windows build. This build makes the fuzz
# targets too.
idle cmake --preset ci-sanitize >/dev/null
idle cmake --build --preset ci-sanitize
idle ctest --preset ci-sanitize -j2

# Idle too, by then beside the Wine tests that time what they check, which
# mostly wait. An idle input waits while the tests keep both cores busy, so
# a hang is an input that runs 30 s, not one: a real hang runs on past any
# limit, and no burst of the tests lasts that long.
stage "fuzzing"
VANTREL_FUZZ_HANG=30 VANTREL_FUZZ_PRESET=ci-sanitize idle bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
stage ""

wine_status=0
wait "$wine_tests" || wine_status=$?
cat "$VANTREL_TMP/wine-tests.log"
[ "$wine_status" -eq 0 ] || exit "$wine_status"
retried=$(sed -n 's/^.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*.*$/\1/p' "$VANTREL_TMP/wine-tests.log" | sort -u)
[ -z "$retried" ] || echo "== passed on their second run under Wine: $(echo $retried)"

echo "== all: $SECONDS s"
