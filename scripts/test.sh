#!/usr/bin/env bash
# Sets up this machine and runs every test: the code format check, the native
# unit tests, the API reference (no public declaration undocumented), the
# unit tests under the sanitizers, a minute of fuzzing, then the Windows
# build's tests under Wine (the package and release zip included).
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
# and it is made while the native work runs.
vantrel_make_prefix "$VANTREL_TMP/prefix-template" >"$VANTREL_TMP/prefix-template.log" 2>&1 &
template=$!

stage "code format (.clang-format)"
find src testing tests bench fuzz examples -name '*.cpp' -o -name '*.h' -o -name '*.c' |
  xargs clang-format --dry-run --Werror

stage "native build, the API reference and unit tests"
cmake --preset ci-native >/dev/null
cmake --build --preset ci-native
# Doxygen's warnings are errors: a public declaration without its comment fails.
cmake --build --preset ci-native --target docs
ctest --preset ci-native -j2

stage "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset ci-sanitize >/dev/null
cmake --build --preset ci-sanitize
ctest --preset ci-sanitize -j2

stage "fuzzing"
VANTREL_FUZZ_PRESET=ci-fuzz bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"

stage "Windows build"
cmake --preset ci-windows >/dev/null
cmake --build --preset ci-windows
stage "tests under Wine"
wait "$template" || { cat "$VANTREL_TMP/prefix-template.log" >&2; exit 1; }
export VANTREL_PREFIX_TEMPLATE="$VANTREL_TMP/prefix-template"
vantrel_start_xvfb 1920x1080
vantrel_start_wine
# Two at a time: each test has its own X server and prefix; those that time
# what they check run alone (RUN_SERIAL in their registration).
ctest --preset ci-windows -j2
stage ""
echo "== all: $SECONDS s"
