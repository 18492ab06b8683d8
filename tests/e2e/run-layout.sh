#!/usr/bin/env bash
# vantrel-layout under Wine on the three-monitor layout: a layout saved, two
# displays changed by other runs of it (a mode, a detach), the saved layout
# put back by one apply; a dry run and four refusals that change nothing; a
# question answered yes, one left unanswered for 2 s (the X server shows it
# reverted within a second of that), one cut by Ctrl+C, and a process killed
# while it asks, whose saved layout `revert` puts back. A watch in another
# process tells of the one apply as one change.
#   run-layout.sh BUILD_DIR
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
build=$(cd "$1" && pwd)
tool="$build/vantrel-layout.exe"
fail() { echo "run-layout: $*" >&2; exit 1; }

vantrel_start_xorg three
vantrel_start_wine
mapfile -t windows < <(vantrel_layout_windows three)
# The layout from before, where this script can see it (Wine's Z: is /).
mkdir -p "$VANTREL_TMP/state"
export VANTREL_STATE_DIR="Z:${VANTREL_TMP//\//\\}\\state"
T=$VANTREL_TMP
# The files the tool reads and writes are named relative to here.
cd "$T"

# What a layout is compared by: every display's key, adapter, attached
# state and primacy, and an attached one's position and mode.
facts() {
  jq -c '[.displays[] | {key, adapter, attached, primary} +
    (if .attached then {position, mode} else {} end)]' "$1"
}
in_force() {
  wine "$tool" show >"$T/now.json"
  facts "$T/now.json"
}
# Runs the tool; its exit code in $status, its stderr in $T/err.
run() {
  status=0
  wine "$tool" "$@" >"$T/out" 2>"$T/err" || status=$?
}
# A run that must change nothing: exit 2, one line on stderr.
refused() {
  local what=$1
  shift
  run "$@"
  [ "$status" -eq 2 ] && [ "$(wc -l <"$T/err")" -eq 1 ] ||
    fail "$what: exit $status: $(cat "$T/err")"
  [ "$(in_force)" = "$(facts "$T/saved.json")" ] || fail "$what changed the layout"
  echo "run-layout: $what: exit 2, $(cat "$T/err")"
}

# The layout in force, saved: the three displays as the X server has them.
run save saved.json
[ "$status" -eq 0 ] || fail "save: exit $status: $(cat "$T/err")"
jq -e '.schema == "vantrel-layout" and .version == 1 and (.displays | length) == 3 and
  all(.displays[]; .attached)' "$T/saved.json" >/dev/null || fail "save: $(cat "$T/saved.json")"
[ "$(jq -r '.displays[] | "\(.position.x),\(.position.y),\(.position.x + .mode.width),\(.position.y + .mode.height)"' \
  "$T/saved.json")" = "$(printf '%s\n' "${windows[@]}")" ] || fail "the saved layout is not the X server's"
[ "$(in_force)" = "$(facts "$T/saved.json")" ] || fail "show is not what save wrote"

# Two displays changed from other processes: a mode, then a detach.
run set 3 --mode 800x600 --yes
[ "$status" -eq 0 ] || fail "set 3 --mode: exit $status: $(cat "$T/err")"
run set '\\.\DISPLAY2' --off --yes
[ "$status" -eq 0 ] || fail "set --off: exit $status: $(cat "$T/err")"
wine "$tool" show >"$T/changed.json"
jq -e '.displays[1].attached == false and .displays[2].mode.width == 800 and
  .displays[2].mode.height == 600' "$T/changed.json" >/dev/null ||
  fail "the two changes are not in force: $(facts "$T/changed.json")"
echo "run-layout: set changed a mode and detached a display"

# A dry run: the plan, a line a changed display, and nothing changed.
run apply saved.json --dry-run
[ "$status" -eq 0 ] && [ "$(grep -c . "$T/out")" -eq 2 ] || fail "--dry-run: exit $status: $(cat "$T/out" "$T/err")"
[ "$(in_force)" = "$(facts "$T/changed.json")" ] || fail "--dry-run changed the layout"
tr -d '\r' <"$T/out" | sed 's/^/run-layout: --dry-run: /'

# One apply puts every display back as saved, and a watch in another
# process tells of it as one change, once the layout holds still.
wine "$build/vantrel-list.exe" --watch >"$T/watch" 2>&1 &
watching=$!
for _ in $(seq 500); do
  [ -s "$T/watch" ] && break
  sleep 0.02
done
run apply saved.json --yes
[ "$status" -eq 0 ] || fail "apply: exit $status: $(cat "$T/err")"
[ "$(in_force)" = "$(facts "$T/saved.json")" ] || fail "apply: $(in_force)"
# Held still: no new line for a second and a half.
lines=0
still=0
for _ in $(seq 40); do
  sleep 0.5
  if [ "$(grep -c . "$T/watch")" -eq "$lines" ] && [ "$lines" -gt 1 ]; then
    still=$((still + 1))
    [ "$still" -ge 3 ] && break
  else
    still=0
    lines=$(grep -c . "$T/watch")
  fi
done
kill "$watching" 2>/dev/null || true
wait "$watching" 2>/dev/null || true
changes=$(tr -d '\r' <"$T/watch" | jq -c 'select(.event == "change")')
[ "$(grep -c . <<<"$changes")" -eq 1 ] || fail "the watch told $(grep -c . <<<"$changes") changes: $changes"
jq -e '(.displays | length) == 3 and (.added | length) == 1' <<<"$changes" >/dev/null ||
  fail "the watch's change is not the layout applied: $changes"
echo "run-layout: one apply put the saved layout back; a watch in another process told one change"

# Refused before anything changes.
jq '.displays[0].key = "nothing" | .displays[0].adapter = "\\\\.\\DISPLAY9"' "$T/saved.json" >"$T/unknown.json"
refused "an unknown display" apply unknown.json --yes
refused "an unoffered mode" set 3 --mode 1234x567 --yes
jq '.displays[] |= (.attached = false | .primary = false)' "$T/saved.json" >"$T/none.json"
refused "no display attached" apply none.json --yes
head -c 120 "$T/saved.json" >"$T/broken.json"
refused "a malformed file" apply broken.json --yes

# A layout with the third display smaller, and an input that stays open and
# says nothing.
jq --argjson mode "$(jq -c '.displays[2].mode' "$T/changed.json")" '.displays[2].mode = $mode' \
  "$T/saved.json" >"$T/small.json"
mkfifo "$T/silent"
exec 7<>"$T/silent"
# Starts an apply of small.json that asks; waits for the question.
asking() {
  wine "$tool" apply small.json "$@" <"$T/silent" >"$T/out" 2>"$T/err" &
  asker=$!
  for _ in $(seq 1000); do
    grep -q 'Keep these display settings?' "$T/err" && return 0
    kill -0 "$asker" 2>/dev/null || fail "no question: $(cat "$T/err")"
    sleep 0.02
  done
  fail "no question within 20 s"
}
ms() { echo $(($(date +%s%N) / 1000000)); }

# Answered yes through a pipe: kept; revert puts the saved layout back.
run apply small.json < <(echo y)
[ "$status" -eq 0 ] && [ "$(in_force)" = "$(facts "$T/small.json")" ] ||
  fail "answered y: exit $status: $(cat "$T/err")"
run revert
[ "$status" -eq 0 ] && [ "$(in_force)" = "$(facts "$T/saved.json")" ] ||
  fail "revert: exit $status: $(cat "$T/err")"
echo "run-layout: answered y, kept; revert put it back"

# No answer within 2 s: the displays back at most a second after those 2 s,
# as the X server shows them (Wine then tells every window of the change,
# and its desktop process can take a second more to answer: the exit waits
# for that).
IFS=x read -r width height < <(jq -r '.displays[2].mode | "\(.width)x\(.height)"' saved.json)
asking --confirm-within 2
asked=$(ms)
back=
while kill -0 "$asker" 2>/dev/null; do
  if xrandr --current | grep -q "^DUMMY2 connected ${width}x${height}+"; then
    back=$(($(ms) - asked))
    break
  fi
  sleep 0.02
done
status=0
wait "$asker" || status=$?
ended=$(($(ms) - asked))
[ "$status" -eq 4 ] || fail "unanswered: exit $status: $(cat "$T/err")"
[ "$(in_force)" = "$(facts "$T/saved.json")" ] || fail "unanswered: not back: $(in_force)"
[ -n "$back" ] || back=$ended
[ "$back" -le 3000 ] || fail "unanswered: back $back ms after the question, not within 3000"
echo "run-layout: unanswered for 2 s: back $back ms after the question, exit 4 after $ended ms"

# Ctrl+C while it asks: back, exit 4.
asking
kill -INT "$asker"
status=0
vantrel_wait_bounded 30 "$asker" || status=$?
[ "$status" -eq 4 ] && grep -q 'interrupted' "$T/err" && [ "$(in_force)" = "$(facts "$T/saved.json")" ] ||
  fail "Ctrl+C: exit $status: $(cat "$T/err")"
echo "run-layout: Ctrl+C while asking: exit 4, back"

# Killed while it asks: the new layout stays, and revert puts the saved one
# back from the file the killed process left.
asking
kill -KILL "$asker"
{ wait "$asker"; } 2>/dev/null || true
[ "$(in_force)" = "$(facts "$T/small.json")" ] || fail "killed: the change is not in force"
[ -s "$T/state/layout-before.json" ] || fail "killed: no layout from before"
run revert
[ "$status" -eq 0 ] && [ "$(in_force)" = "$(facts "$T/saved.json")" ] ||
  fail "revert after a kill: exit $status: $(cat "$T/err")"
echo "run-layout: killed while asking; revert put the saved layout back"
exec 7>&-
