# Sourced first by every script: strict mode, and a line naming the step that
# stopped a script, since the steps themselves run quietly.
set -euo pipefail
set -o errtrace
trap 'vantrel_stopped $? "$BASH_COMMAND" "${BASH_SOURCE[0]##*/}" $LINENO' ERR
vantrel_stopped() {
  # Only where the failure stops the script: a failing test inside an `if`
  # or `||` is no failure, and bash does not call the trap for those.
  [[ $- == *e* ]] && echo "${3}: line $4 failed (exit $1): $2" >&2
  return 0
}
