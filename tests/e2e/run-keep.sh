#!/usr/bin/env bash
# vantrel-keep under Wine on one monitor, its processes meeting as they do
# on a desktop: a keeper started, a second refused, restore and forget
# carried out by the running keeper, stop ending it with the memory saved,
# stop with none left, and Ctrl+C and the session's end each ending one.
#   run-keep.sh BUILD_DIR
source "$(dirname "$0")/../../scripts/lib/wine-session.sh"
build=$(cd "$1" && pwd)
tool="$build/vantrel-keep.exe"
fail() { echo "run-keep: $*" >&2; exit 1; }

vantrel_start_xvfb 1024x768
vantrel_start_wine
mkdir -p "$VANTREL_TMP/state"
export VANTREL_STATE_DIR="Z:${VANTREL_TMP//\//\\}\\state"
T=$VANTREL_TMP
# Runs the tool; its exit code in $status, its stdout in $T/out, stderr in $T/err.
run() {
  status=0
  wine "$tool" "$@" >"$T/out" 2>"$T/err" || status=$?
}

start_keeper() {
  wine "$tool" run >"$T/keeper.out" 2>"$T/keeper.err" &
  keeper=$!
  for _ in $(seq 200); do grep -q started "$T/keeper.out" && break; sleep 0.1; done
  head -1 "$T/keeper.out" | jq -e '.event == "started" and (.set | test("^[0-9a-f]{16}$"))' \
    >/dev/null || fail "no started line: $(cat "$T/keeper.out" "$T/keeper.err")"
}
# The keeper has ended with exit 0, its last line "ended", the memory saved.
ended() {
  status=0
  vantrel_wait_bounded 30 "$keeper" || status=$?
  [ "$status" -ne 124 ] || fail "$1: the keeper still runs after 30 s: $(cat "$T/keeper.err")"
  [ "$status" -eq 0 ] || fail "$1: the keeper ended with $status: $(cat "$T/keeper.err")"
  tail -1 "$T/keeper.out" | tr -d '\r' | jq -e '.event == "ended" and .saved' >/dev/null ||
    fail "$1: no ended line: $(cat "$T/keeper.out")"
}

start_keeper
head -1 "$T/keeper.out" | jq -e '.sets == 1' >/dev/null || fail "not one set: $(cat "$T/keeper.out")"
set=$(head -1 "$T/keeper.out" | jq -r .set)

run run
[ "$status" -eq 1 ] && [ "$(cat "$T/err")" = "vantrel-keep: a keeper already runs on this desktop" ] ||
  fail "a second run: exit $status: $(cat "$T/err")"
run restore
[ "$status" -eq 0 ] && jq -e --arg set "$set" '.event == "restored" and .set == $set' "$T/out" \
  >/dev/null || fail "restore: exit $status: $(cat "$T/out" "$T/err")"
grep -q '"restored"' "$T/keeper.out" || fail "the keeper told no restore"
run forget --all
[ "$status" -eq 0 ] || fail "forget: exit $status: $(cat "$T/err")"
run stop
[ "$status" -eq 0 ] || fail "stop: exit $status: $(cat "$T/err")"
ended stop
run show
[ "$status" -eq 0 ] && jq -e '.schema == "vantrel-desktop" and .version == 1' "$T/out" >/dev/null ||
  fail "show: exit $status: $(cat "$T/out" "$T/err")"
run stop
[ "$status" -eq 1 ] && [ "$(cat "$T/err")" = "vantrel-keep: no keeper runs on this desktop" ] ||
  fail "stop with none running: exit $status: $(cat "$T/err")"

# Ctrl+C (Wine turns SIGINT into CTRL_C_EVENT) ends it as stop does; so does
# the end of the session (wineboot --end-session: WM_QUERYENDSESSION, then
# WM_ENDSESSION, to every program's windows).
start_keeper
kill -INT "$keeper"
ended "Ctrl+C"
start_keeper
wine wineboot --end-session >/dev/null 2>&1 || fail "wineboot --end-session failed"
ended "the session's end"
echo "run-keep: one keeper ran, a second was refused, restore and forget went through it, stop, Ctrl+C and the session's end saved and ended it"
