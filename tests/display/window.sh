# Finding and driving a window on the real display, shared by every test
# that starts a window. Coordinates are the window's own (client) ones.

fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits up to 10 s for a visible window with exactly this name, gives it the
# keyboard focus as a desktop would (there is no window manager to do it),
# and sets WID, WIN_X, WIN_Y, WIN_W and WIN_H.
find_window() {
  WID=""
  for _ in $(seq 1 100); do
    WID=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$WID" ] && break
    sleep 0.1
  done
  [ -n "$WID" ] || fail "no window named $1 appeared"
  xdotool windowfocus --sync "$WID" 2>/dev/null || xdotool windowfocus "$WID"
  sleep 0.5
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
