#!/usr/bin/env bash
# vantrel-keep under Wine on one monitor, its processes meeting as they do
# on a desktop: a keeper started, a second refused, restore and forget
# carried out by the running keeper, stop ending it with the memory saved,
# and stop with none left.
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

wine "$tool" run >"$T/keeper.out" 2>"$T/keeper.err" &
keeper=$!
for _ in $(seq 200); do grep -q started "$T/keeper.out" && break; sleep 0.1; done
head -1 "$T/keeper.out" | jq -e '.event == "started" and (.set | test("^[0-9a-f]{16}$")) and
  .sets == 1' >/dev/null || fail "no started line: $(cat "$T/keeper.out" "$T/keeper.err")"
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
status=0
wait "$keeper" || status=$?
[ "$status" -eq 0 ] || fail "the keeper ended with $status: $(cat "$T/keeper.err")"
run show
[ "$status" -eq 0 ] && jq -e '.schema == "vantrel-desktop" and .version == 1' "$T/out" >/dev/null ||
  fail "show: exit $status: $(cat "$T/out" "$T/err")"
run stop
[ "$status" -eq 1 ] && [ "$(cat "$T/err")" = "vantrel-keep: no keeper runs on this desktop" ] ||
  fail "stop with none running: exit $status: $(cat "$T/err")"
echo "run-keep: one keeper ran, a second was refused, restore and forget went through it, stop saved and ended it"
