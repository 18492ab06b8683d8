#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer: the sanitize preset's build) and runs each from
# its seed corpus, sharing the time equally, two targets at a time:
#   bash scripts/fuzz.sh [SECONDS]      default 60; as long as you like
# An input that runs over a second counts as a hang (VANTREL_FUZZ_HANG
# seconds, for a run that shares the processors). Exits non-zero on any
# finding; the input is left in the build folder's findings/ (build/sanitize/
# findings/). VANTREL_FUZZ_PRESET names another preset to build with (the
# test command's is ci-sanitize, whose build it has made already).
source "$(dirname "$0")/lib/common.sh"
cd "$(dirname "$0")/.."
seconds=${1:-60}
hang=${VANTREL_FUZZ_HANG:-1}

bash scripts/setup.sh native
preset=${VANTREL_FUZZ_PRESET:-fuzz}
targets=(monitors displays placement modes layout apply desktop)
# The preset names its build folder; CMake says which it configured.
build=$(cmake --preset "$preset" | sed -n 's/^-- Build files have been written to: //p')
[ -d "$build" ] || { echo "fuzz: no build folder for the preset $preset" >&2; exit 1; }
# The fuzz targets and what they link, not the rest of the libraries.
cmake --build --preset "$preset" --target "${targets[@]/#/fuzz_}"

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
findings=$build/findings
mkdir -p "$findings"
each=$((seconds / ${#targets[@]}))
fuzz() {
  mkdir -p "$work/$1"
  cp "fuzz/corpus-$1"/* "$work/$1/" 2>/dev/null || true
  "$build/fuzz/fuzz_$1" -max_total_time="$each" -timeout="$hang" -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$work/$1" 2>"$work/$1.log"
}
# Each fuzzer runs on one core: two at a time keep each target's share of the
# time and take half as long on two cores.
failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pair=("${targets[@]:i:2}")
  pids=()
  for target in "${pair[@]}"; do
    echo "== fuzzing $target for $each s"
    fuzz "$target" &
    pids+=($!)
  done
  for k in "${!pair[@]}"; do
    target=${pair[k]}
    if wait "${pids[k]}"; then
      echo "== $target"
      grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/$target.log" || true
    else
      echo "== $target: finding"
      tail -60 "$work/$target.log"
      failed=1
    fi
  done
  [ "$failed" -eq 0 ] || { echo "fuzz: finding(s) in $findings/" >&2; exit 1; }
done
echo "fuzz: 0 findings"
