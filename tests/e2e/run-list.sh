#!/usr/bin/env bash
# vantrel-list under Wine on the three-monitor layout, as people and scripts
# use it: its JSON read by a real JSON parser (jq) and checked against the X
# layout, the table, the options, a closed output pipe, and --watch told of a
# change that another program makes.
#   run-list.sh BUILD_DIR
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
build=$(cd "$1" && pwd)
list="$build/vantrel-list.exe"
fail() { echo "run-list: $*" >&2; exit 1; }

vantrel_start_xorg three
vantrel_start_wine
mapfile -t layout < <(vantrel_layout_windows three)

# --json: every display of the layout, in order, with its facts.
vantrel_bounded 60 wine "$list" --json >"$VANTREL_TMP/list.json"
jq -e '.schema == "vantrel-list" and .version == 1' "$VANTREL_TMP/list.json" >/dev/null ||
  fail "no schema and version"
[ "$(jq -r '.displays[].bounds | "\(.left),\(.top),\(.right),\(.bottom)"' "$VANTREL_TMP/list.json")" = \
  "$(printf '%s\n' "${layout[@]}")" ] || fail "the displays' bounds are not the layout's"
jq -e '[.displays[] | select(.primary)] | length == 1 and .[0].bounds.left == 0 and .[0].bounds.top == 0' \
  "$VANTREL_TMP/list.json" >/dev/null || fail "not one primary display at the origin"
jq -e '.displays | map(.key) | unique | length == 3' "$VANTREL_TMP/list.json" >/dev/null ||
  fail "the keys are not distinct"
jq -e '.displays | map(.name) | unique | length == 3' "$VANTREL_TMP/list.json" >/dev/null ||
  fail "the names are not distinct"
jq -e 'all(.displays[]; (.number | tostring) as $n | .number >= 1 and (.device_name | endswith($n)) and
  .current_mode.width == .bounds.width and .current_mode.height == .bounds.height and
  (.current_mode as $c | any(.modes[]; . == $c)) and .dpi > 0 and .refresh_rate.hertz > 0 and
  .work_area.width <= .bounds.width)' "$VANTREL_TMP/list.json" >/dev/null ||
  fail "a display's facts do not hold together"
jq -e 'all(.displays[]; (.modes | unique | length) == (.modes | length) and
  .modes == (.modes | sort_by(.width, .height, .bits_per_pixel, .frequency)))' "$VANTREL_TMP/list.json" >/dev/null ||
  fail "modes repeat or are out of order"
echo "run-list: --json gives the layout's $(jq '.displays | length' "$VANTREL_TMP/list.json") displays"

# The table: a header and a row per display, in the JSON's order.
vantrel_bounded 60 wine "$list" | tr -d '\r' >"$VANTREL_TMP/table.txt"
cat "$VANTREL_TMP/table.txt"
[ "$(wc -l <"$VANTREL_TMP/table.txt")" -eq 4 ] || fail "the table is not a header and three rows"
[ "$(tail -n +2 "$VANTREL_TMP/table.txt" | awk '{ print $2 }')" = \
  "$(jq -r '.displays[].name' "$VANTREL_TMP/list.json")" ] || fail "the table's names"

# Options: --help on stdout; anything unknown is usage on stderr and exit 2.
vantrel_bounded 60 wine "$list" --help | grep -q '^usage: vantrel-list' || fail "--help prints no usage"
status=0
vantrel_bounded 60 wine "$list" --frobnicate >"$VANTREL_TMP/out" 2>"$VANTREL_TMP/err" || status=$?
[ "$status" -eq 2 ] && [ ! -s "$VANTREL_TMP/out" ] && grep -q '^usage:' "$VANTREL_TMP/err" ||
  fail "an unknown option gave exit $status"

# A reader that is gone before anything is written: exit 1, quietly.
set +o pipefail
vantrel_bounded 60 wine "$list" --json 2>"$VANTREL_TMP/err" | true
status=${PIPESTATUS[0]}
set -o pipefail
[ "$status" -le 1 ] && ! grep -qi 'unhandled\|exception\|backtrace' "$VANTREL_TMP/err" ||
  fail "a closed pipe gave exit $status: $(cat "$VANTREL_TMP/err")"
echo "run-list: a closed output pipe ends it with exit $status"

# --watch: the displays, then a line for a change made by another program,
# matching the layout read afterwards; Ctrl+C ends it with exit 0.
wine "$list" --watch >"$VANTREL_TMP/watch.out" 2>"$VANTREL_TMP/watch.err" &
watching=$!
lines() { wc -l <"$VANTREL_TMP/watch.out"; }
for _ in $(seq 300); do [ "$(lines)" -ge 1 ] && break; sleep 0.1; done
[ "$(lines)" -ge 1 ] || fail "--watch printed no first line"
IFS=, read -r l t r b <<<"${layout[2]}"
vantrel_bounded 60 wine "$build/tests/change_display.exe" '\\.\DISPLAY3' 800 600 "$l" "$t" >/dev/null
for _ in $(seq 300); do [ "$(lines)" -ge 2 ] && break; sleep 0.1; done
[ "$(lines)" -ge 2 ] || fail "--watch told of no change"
sed -n 2p "$VANTREL_TMP/watch.out" >"$VANTREL_TMP/change.json"
jq -e '.event == "change" and (.changed | length) == 1 and
  (.changed[0].facts | index("bounds")) != null and
  .changed[0].after.bounds.width == 800 and .changed[0].after.bounds.height == 600 and
  .changed[0].before.bounds.width == 1024 and (.changed[0].after.modes | length) > 0' \
  "$VANTREL_TMP/change.json" >/dev/null ||
  fail "the change line: $(cut -c1-400 "$VANTREL_TMP/change.json")"
# A process that keeps running sees Wine's current modes as they were when
# it started (a new one sees the new ones), so the layout is compared.
layout_of() {
  jq -c '[.displays[] | {number, name, key, primary, bounds, work_area}]' "$1"
}
vantrel_bounded 60 wine "$list" --json >"$VANTREL_TMP/after.json"
[ "$(layout_of "$VANTREL_TMP/after.json")" = "$(layout_of "$VANTREL_TMP/change.json")" ] ||
  fail "the change line's layout is not the one read afterwards"
kill -INT "$watching"
status=0
vantrel_wait_bounded 30 "$watching" || status=$?
[ "$status" -ne 124 ] || fail "--watch still running 30 s after Ctrl+C: $(cat "$VANTREL_TMP/watch.err")"
[ "$status" -eq 0 ] || fail "--watch ended by Ctrl+C with exit $status"
echo "run-list: --watch told of the change and ended on Ctrl+C"
