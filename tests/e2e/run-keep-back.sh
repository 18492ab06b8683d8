#!/usr/bin/env bash
# The desktop comes back, under Wine on the three-monitor layout: another
# program's windows on the right display (one normal, one maximized, one
# minimized after the keeper saw it normal) and one on the primary; the
# right display detached and its windows thrown onto the primary, as
# Windows throws them; the keeper stopped and started again; the display
# attached again, and within 2 s of the settled change every window is
# where it was, the minimized one never shown, the primary's untouched.
# Detached once more, the thrown window goes back to its place on the
# displays left.
#   run-keep-back.sh BUILD_DIR
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
build=$(cd "$1" && pwd)
keep="$build/vantrel-keep.exe"
layout="$build/vantrel-layout.exe"
fail() {
  echo "run-keep-back: $*" >&2
  [ ! -s "${T:-}/keeper.err" ] || { echo "the keeper said:"; cat "$T/keeper.err"; } >&2
  exit 1
}
say() { echo "run-keep-back: $*"; }
ms() { echo $(($(date +%s%N) / 1000000)); }
began=$(ms)

vantrel_start_xorg three
vantrel_start_wine
mapfile -t displays < <(vantrel_layout_windows three)
IFS=, read -r pl pt _ _ <<<"${displays[0]}"
IFS=, read -r rl rt _ _ <<<"${displays[2]}"
right="[${displays[2]}]"
mkdir -p "$VANTREL_TMP/state"
export VANTREL_STATE_DIR="Z:${VANTREL_TMP//\//\\}\\state"
T=$VANTREL_TMP
cd "$T"

rect() { echo "$(($1)),$(($2)),$(($3)),$(($4))"; }
normal=$(rect rl+100 rt+100 rl+500 rt+400)
maxed=$(rect rl+200 rt+200 rl+600 rt+500)
minimized=$(rect rl+300 rt+300 rl+700 rt+600)
stays=$(rect pl+600 pt+500 pl+1000 pt+800)
# Where Windows throws a window of a display that leaves: the same place
# from the primary's corner as it had from its display's.
thrown() {
  local l t r b
  IFS=, read -r l t r b <<<"$1"
  rect l-rl+pl t-rt+pt r-rl+pl b-rt+pt
}

# The windows' program, told what to do on a pipe; each answer ends "ok".
mkfifo "$T/to-windows"
exec 7<>"$T/to-windows"
wine "$build/tests/keep_windows.exe" "normal=$normal" "maxed=$maxed" "minimized=$minimized" \
  "stays=$stays" <&7 >"$T/windows.out" 2>"$T/windows.err" &
windows=$!
for _ in $(seq 500); do
  grep -q ready "$T/windows.out" && break
  kill -0 "$windows" 2>/dev/null || fail "the windows' program ended: $(cat "$T/windows.err")"
  sleep 0.02
done
# Sends one command; the answer's lines before "ok" in $answer.
ask() {
  local from
  from=$(($(wc -l <"$T/windows.out") + 1))
  echo "$*" >&7
  for _ in $(seq 500); do
    answer=$(tail -n +"$from" "$T/windows.out" | tr -d '\r')
    grep -q '^error' <<<"$answer" && fail "$*: $answer"
    if grep -qx ok <<<"$answer"; then
      answer=$(grep -vx ok <<<"$answer" || true)
      return 0
    fi
    sleep 0.01
  done
  fail "$*: no answer: $(cat "$T/windows.err")"
}
# A fact of a window in the last report: of NAME, a jq filter.
of() { jq -c --arg name "$1" "select(.name == \$name) | $2" <<<"$answer"; }
# Is the report's window NAME maximized on the right display?
maximized_right() { [ "$(of "$1" '.zoomed and .monitor == '"$right")" = true ]; }

ask maximize maxed
ask report
maximized_right maxed || fail "not maximized on the right display: $(of maxed .)"
handles=$(jq -sc 'map({(.name): .handle}) | add' <<<"$answer")

# The memory's set SET (empty: the one last used) holds each window in the
# state WANT gives (a JSON object, name to state; null: any), the normal one at BOUNDS;
# waits for it, at most 10 s. The memory read last is in $T/memory.json.
kept() {
  local set=$1 want=$2 bounds=$3 deadline=$(($(ms) + 10000))
  while [ "$(ms)" -lt "$deadline" ]; do
    if wine "$keep" show >"$T/memory.json" 2>/dev/null &&
      jq -e --arg set "$set" --argjson h "$handles" --argjson want "$want" \
        --arg bounds "bounds=$bounds " '
        [if $set == "" then .sets | max_by(.used) else .sets[] | select(.id == $set) end
          | .windows[]] as $w
        | all($want | to_entries[]; .key as $n | .value as $s
            | any($w[]; .handle == $h[$n] and ($s == null or .state == $s)))
        and any($w[]; .handle == $h.normal and (.place | contains($bounds)))' \
        "$T/memory.json" >/dev/null; then
      return 0
    fi
    sleep 0.1
  done
  fail "set $set does not hold $want: $(cat "$T/memory.json")"
}
started() {
  local out=$1
  for _ in $(seq 500); do
    grep -q started "$out" && break
    sleep 0.02
  done
  head -1 "$out" | jq -c 'select(.event == "started")'
}
# Waits for the Nth "restored" line of the keeper's output FILE, at most 10 s.
restored() {
  local out=$1 n=$2
  for _ in $(seq 1000); do
    line=$(tr -d '\r' <"$out" | jq -c 'select(.event == "restored")' | sed -n "${n}p")
    [ -n "$line" ] && return 0
    sleep 0.01
  done
  fail "no restored line: $(cat "$out")"
}
run_keeper() {
  wine "$keep" run >"$T/$1" 2>"$T/keeper.err" &
  keeper=$!
}
stop_keeper() {
  wine "$keep" stop >/dev/null 2>"$T/err" || fail "stop: $(cat "$T/err")"
  status=0
  vantrel_wait_bounded 30 "$keeper" || status=$?
  [ "$status" -ne 124 ] || fail "the keeper still runs 30 s after stop: $(cat "$T/keeper.err")"
  [ "$status" -eq 0 ] || fail "the keeper ended with $status: $(cat "$T/keeper.err")"
}

run_keeper keeper1.out
first=$(started "$T/keeper1.out")
three=$(jq -r .set <<<"$first")
[ -n "$three" ] || fail "no started line: $(cat "$T/keeper1.out" "$T/keeper.err")"
kept "$three" '{"normal":"normal","maxed":"maximized","minimized":"normal","stays":"normal"}' "$normal"
# Minimized only once its normal place is kept: another program's minimized
# window tells none.
ask minimize minimized
kept "$three" '{"minimized":"minimized"}' "$normal"
say "the four windows kept on three displays $(($(ms) - began)) ms in"

# The right display leaves. Wine leaves its windows where they were, off
# every display, and un-maximizes the maximized one; Windows would throw
# them onto the primary, the maximized one still maximized.
wine "$layout" set 3 --off --yes >/dev/null 2>"$T/err" || fail "set 3 --off: $(cat "$T/err")"
ask move normal "$(thrown "$normal")"
ask move maxed "$(thrown "$maxed")"
ask maximize maxed
ask move minimized "$(thrown "$minimized")"
ask report
[ "$(of minimized .iconic)" = true ] || fail "the minimized window was shown when thrown: $answer"
# Wine may un-maximize the thrown window again (see below): kept in any state.
# The minimized one is not kept for this set: Wine tells no normal place of
# another program's minimized window, and this set never saw it otherwise.
kept "" '{"normal":"normal","maxed":null,"stays":"normal"}' "$(thrown "$normal")"
jq -e --argjson h "$handles" '.sets | max_by(.used) | [.windows[].handle] | index($h.minimized) == null' \
  "$T/memory.json" >/dev/null || fail "the minimized window kept at no place: $(cat "$T/memory.json")"
alone=$(jq -r '.sets | max_by(.used) | .id' "$T/memory.json")
[ "$alone" != "$three" ] || fail "the set did not change with the display detached"
say "thrown onto the primary and kept there $(($(ms) - began)) ms in"

# The memory outlives the keeper.
stop_keeper
run_keeper keeper2.out
second=$(started "$T/keeper2.out")
jq -e --arg set "$alone" '.set == $set and .sets == 2' <<<"$second" >/dev/null ||
  fail "started again: $second"

# The right display back: every window where it was on three displays.
wine "$layout" revert >/dev/null 2>"$T/err" || fail "revert: $(cat "$T/err")"
reverted=$(ms)
restored "$T/keeper2.out" 1
seen=$(($(ms) - reverted))
jq -e --arg set "$three" '.set == $set and .ms <= 2000 and .windows >= 2' <<<"$line" >/dev/null ||
  fail "restored: $line"
check_back() {
  ask report
  [ "$(of normal '.rect == ['"$normal"'] and (.zoomed or .iconic | not)')" = true ] ||
    fail "$1: the normal window is not back: $(of normal .)"
  # Back on its display; maximized is asked apart: a window maximized from
  # another process right after a move is un-maximized by Wine's X driver
  # (WM_SYSCOMMAND SC_RESTORE) once the X server answers the move, and the
  # keeper maximizes it again.
  [ "$(of maxed '.monitor == '"$right")" = true ] ||
    fail "$1: the maximized window is not on the right display: $(of maxed .)"
  [ "$(of minimized '.iconic and (.shown | not)')" = true ] ||
    fail "$1: the minimized window was shown: $(of minimized .)"
  [ "$(of stays '.rect == ['"$stays"'] and .changes == 0')" = true ] ||
    fail "$1: the primary's window was touched: $(of stays .)"
}
check_back "restored"
say "restored $line, seen $seen ms after the revert returned; maximized: $(of maxed .zoomed)"
# Maximized within 2 s of the settled change, which came "ms" before the line.
until maximized_right maxed; do
  [ $(($(ms) - reverted - seen)) -lt $((2000 - $(jq .ms <<<"$line"))) ] ||
    fail "not maximized again within 2 s: $(of maxed .)"
  sleep 0.05
  ask report
done
say "maximized again $(($(ms) - reverted - seen)) ms after the restored line"
# And still there once the X server has had its say.
sleep 1
check_back "a second later"
maximized_right maxed || fail "a second later: not maximized: $(of maxed .)"
say "every window back on three displays, the minimized one never shown"

# Alone again: the thrown window goes back to its place there.
wine "$layout" set 3 --off --yes >/dev/null 2>"$T/err" || fail "set 3 --off again: $(cat "$T/err")"
restored "$T/keeper2.out" 2
# Here the maximized window is un-maximized onto its place on the display
# that left, off every display: Wine's X driver then unmaps it and waits up
# to 2 s for a window manager to say so (winex11's
# wait_for_withdrawn_state), and these X servers run none. The keeper waits
# on that call, so this restore may take those 2 s more.
jq -e --arg set "$alone" '.set == $set and .ms <= 4000' <<<"$line" >/dev/null ||
  fail "restored alone: $line"
ask report
[ "$(of normal '.rect == ['"$(thrown "$normal")"']')" = true ] ||
  fail "alone again: the normal window is not at its place there: $(of normal .)"
say "alone again: $line, the normal window at its place there"

stop_keeper
ask quit
wait "$windows" 2>/dev/null || true
say "the desktop came back, $(($(ms) - began)) ms in all"
