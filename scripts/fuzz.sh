#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each from its seed corpus, sharing the
# time equally:
#   bash scripts/fuzz.sh [SECONDS]      default 60; as long as you like
# An input that runs over a second counts as a hang. Exits non-zero on any
# finding; the input is left in build/fuzz/findings/. VANTREL_FUZZ_PRESET
# names another preset to build with (the test command's is ci-fuzz).
source "$(dirname "$0")/lib/common.sh"
cd "$(dirname "$0")/.."
seconds=${1:-60}

bash scripts/setup.sh native
preset=${VANTREL_FUZZ_PRESET:-fuzz}
targets=(monitors displays placement modes layout apply desktop)
cmake --preset "$preset" >/dev/null
# The fuzz targets and what they link, not the rest of the libraries.
cmake --build --preset "$preset" --target "${targets[@]/#/fuzz_}"

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
mkdir -p build/fuzz/findings
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  cp "fuzz/corpus-$target"/* "$work/$target/" 2>/dev/null || true
  echo "== fuzzing $target for $((seconds / ${#targets[@]})) s"
  "build/fuzz/fuzz/fuzz_$target" -max_total_time=$((seconds / ${#targets[@]})) -timeout=1 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/findings/ "$work/$target" 2>"$work/log" ||
    { tail -60 "$work/log"; echo "fuzz: finding(s) in build/fuzz/findings/" >&2; exit 1; }
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/log" || true
done
echo "fuzz: 0 findings"
