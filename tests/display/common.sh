# Shared steps of the real-display tests: a fresh working folder, the
# program started in it, and helpers to find and drive its window.
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

fail() { echo "FAIL: $*" >&2; exit 1; }

start_program() {
  sh "$SOURCE/tools/prepare-workdir.sh" "$WORK" "$SOURCE/assets"
  # A desktop session has a runtime folder; without one Qt says so on stderr.
  mkdir -m 700 -p "$WORK/runtime"
  # What the program prints on the terminal, for tests that read it.
  OUTPUT="$WORK/output.log"
  (cd "$WORK" && XDG_RUNTIME_DIR="$WORK/runtime" exec "$PROGRAM" "$@" >"$OUTPUT" 2>&1) &
  PID=$!
  WID=""
  for _ in $(seq 1 100); do
    WID=$(xdotool search --onlyvisible --name '^Sorabe$' 2>/dev/null | head -1 || true)
    [ -n "$WID" ] && break
    sleep 0.1
  done
  [ -n "$WID" ] || fail "no window named Sorabe appeared"
  # There is no window manager to hand the new window the keyboard focus,
  # so give it as a desktop would; the first activation follows.
  xdotool windowfocus --sync "$WID" 2>/dev/null || xdotool windowfocus "$WID"
  sleep 1
  eval "$(xwininfo -id "$WID" | awk '
    /Absolute upper-left X/ {print "WIN_X=" $NF}
    /Absolute upper-left Y/ {print "WIN_Y=" $NF}
    /^  Width/ {print "WIN_W=" $NF}
    /^  Height/ {print "WIN_H=" $NF}')"
}

# Clicks at a point given in window (client) coordinates.
click_at() {
  xdotool mousemove $((WIN_X + $1)) $((WIN_Y + $2)) click 1
}

# The colour of a screen pixel at window coordinates, as "r,g,b" (0-255).
pixel_at() {
  import -window root -crop 1x1+$((WIN_X + $1))+$((WIN_Y + $2)) -depth 8 txt:- |
    awk 'NR==2 {gsub(/[()]/, "", $2); print $2}'
}

# Waits up to $1 seconds for the program to end; sets STATUS.
wait_for_exit() {
  local deadline=$(( $(date +%s%N) + $1 * 1000000000 ))
  while kill -0 "$PID" 2>/dev/null; do
    [ "$(date +%s%N)" -lt "$deadline" ] || fail "the program did not end within $1 s"
    sleep 0.05
  done
  set +e; wait "$PID"; STATUS=$?; set -e
  PID=""
}

# Counts the pixels of one exact colour ("#RRGGBB") in a screen rectangle
# given in window coordinates: x y width height.
count_colour() {
  import -window root -crop "$4x$5+$((WIN_X + $2))+$((WIN_Y + $3))" -depth 8 txt:- |
    grep -c -i " $1 " || true
}

# Left and right edges (window coordinates) of the pixels of one colour in a
# window rectangle: prints "left right", or nothing when there are none.
colour_span() {
  import -window root -crop "$4x$5+$((WIN_X + $2))+$((WIN_Y + $3))" -depth 8 txt:- |
    grep -i " $1 " | awk -F'[,:]' -v x0="$2" '
      {x = $1 + x0; if (min == "" || x < min) min = x; if (max == "" || x > max) max = x}
      END {if (min != "") print min, max}'
}
