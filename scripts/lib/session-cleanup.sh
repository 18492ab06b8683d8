# Ends and removes what a Wine session made under VANTREL_TMP: the Wine
# servers of its prefixes, its X servers, its files. Sourced by
# wine-session.sh, which runs it on exit, and by the guard that runs it when
# the session's shell was killed outright.
vantrel_cleanup() {
  local prefix pid
  for prefix in "$VANTREL_TMP"/prefix*/; do
    [ -d "$prefix" ] || continue
    WINEPREFIX="${prefix%/}" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="${prefix%/}" wineserver -w >/dev/null 2>&1 || true
  done
  for pid in $(cat "$VANTREL_TMP/x.pids" 2>/dev/null); do kill "$pid" 2>/dev/null || true; done
  for pid in $(cat "$VANTREL_TMP/x.pids" 2>/dev/null); do
    while kill -0 "$pid" 2>/dev/null; do sleep 0.1; done
  done
  rm -rf "$VANTREL_TMP"
}
