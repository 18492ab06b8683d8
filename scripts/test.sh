#!/usr/bin/env bash
# Sets up this machine and runs every test: the code format check, the native
# unit tests, the same under the sanitizers, a minute of fuzzing, then the
# Windows build's tests under Wine (the package and release zip included).
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh all

echo "== code format (.clang-format)"
find src testing tests bench fuzz examples -name '*.cpp' -o -name '*.h' |
  xargs clang-format --dry-run --Werror

echo "== native build and unit tests"
cmake --preset native -DVANTREL_WERROR=ON >/dev/null
cmake --build --preset native
ctest --preset native -j2

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize -DVANTREL_WERROR=ON >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j2

echo "== fuzzing"
bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"

echo "== Windows build, tests under Wine"
cmake --preset windows -DVANTREL_WERROR=ON >/dev/null
cmake --build --preset windows
source scripts/lib/wine-session.sh
vantrel_start_xvfb 1920x1080
vantrel_start_wine
ctest --preset windows
