# Shared steps of the real-display tests: a fresh working folder and the
# program started in it (window.sh finds and drives its window).
# Usage: source this with PROGRAM and SOURCE set.

set -euo pipefail

WORK=$(mktemp -d)
SHOTS=${SORABE_SHOTS:-$WORK}
PID=""
cleanup() {
  if [ -n "$PID" ] && kill -0 "$PID" 2>/dev/null; then kill "$PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

source "$(dirname "${BASH_SOURCE[0]}")/window.sh"

start_program() {
  sh "$SOURCE/tools/prepare-workdir.sh" "$WORK" "$SOURCE/assets"
  # A desktop session has a runtime folder; without one Qt says so on stderr.
  mkdir -m 700 -p "$WORK/runtime"
  # What the program prints on the terminal, for tests that read it.
  OUTPUT="$WORK/output.log"
  (cd "$WORK" && XDG_RUNTIME_DIR="$WORK/runtime" exec "$PROGRAM" "$@" >"$OUTPUT" 2>&1) &
  PID=$!
  find_window Sorabe
  sleep 0.5
}
