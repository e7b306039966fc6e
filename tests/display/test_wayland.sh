#!/bin/bash
# The program on a Wayland compositor: a headless Weston (pixman renderer, a
# socket and runtime folder of its own, weston_close.c loaded to send close
# requests) and Qt's Wayland platform, with no X display to fall back on.
# Weston places the window where it likes; a screenshot shows the drill
# window's own pixels there (the headers' light green, the title's navy,
# "はじめる"), --progress opens the chart under the app id of the desktop
# entry, and each window ends with status 0 on a close request, having
# printed nothing on the terminal. (Weston has no input to type with.)
PROGRAM=$1 SOURCE=$2
source "$(dirname "$0")/common.sh"

unset DISPLAY WAYLAND_SOCKET
export XDG_RUNTIME_DIR="$WORK/runtime" WAYLAND_DISPLAY=sorabe-test QT_QPA_PLATFORM=wayland
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$WORK/shots"
WESTON=""
stop_weston() {
  cleanup
  if [ -n "$WESTON" ]; then kill "$WESTON" 2>/dev/null || true; wait "$WESTON" 2>/dev/null || true; fi
}
trap stop_weston EXIT

cc -shared -fPIC -o "$WORK/weston_close.so" "$(dirname "$0")/weston_close.c" \
  $(pkg-config --cflags --libs libweston-10 libweston-desktop-10 wayland-server) ||
  fail "cannot build the Weston module"
weston --no-config --backend=headless-backend.so --use-pixman --width=1280 --height=1024 \
  --socket="$WAYLAND_DISPLAY" --idle-time=0 --debug --modules="$WORK/weston_close.so" \
  --log="$WORK/weston.log" </dev/null >/dev/null 2>&1 &
WESTON=$!
for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { cat "$WORK/weston.log"; fail "Weston did not start"; }

# A screenshot of the whole output, as $SHOT.
screenshot() {
  rm -f "$WORK"/shots/*.png
  (cd "$WORK/shots" && weston-screenshooter) || fail "weston-screenshooter failed"
  SHOT=$(ls "$WORK"/shots/*.png)
}
# Pixels of one exact colour in a rectangle of $SHOT: colour width height x y.
count_in_shot() {
  convert "$SHOT" -crop "$2x$3+$4+$5" +repage -alpha off -fill "#FF00FE" -opaque "$1" \
    -fill black +opaque "#FF00FE" -fill white -opaque "#FF00FE" -format '%[fx:round(mean*w*h)]' info:
}
# Waits up to 20 s for a screenshot showing at least $2 pixels of colour $1.
wait_for_colour() {
  for _ in $(seq 1 40); do
    screenshot
    [ "$(count_in_shot "$1" 1280 1024 0 0)" -ge "$2" ] && return 0
    sleep 0.5
  done
  fail "no window with $2 pixels of $1 appeared"
}
# Sends a close request to every window and waits for the program to end.
close_and_wait() {
  kill -USR2 "$WESTON"
  wait_for_exit 10
  [ "$STATUS" = 0 ] || fail "$1: exit status $STATUS on a close request"
}

sh "$SOURCE/tools/prepare-workdir.sh" "$WORK" "$SOURCE/assets"
OUTPUT="$WORK/output.log"

# The drill window. The title's navy lies at 3,2 in the client area.
(cd "$WORK" && exec "$PROGRAM" >"$OUTPUT" 2>&1) &
PID=$!
wait_for_colour "#000080" 1600
sleep 0.5
screenshot
cp "$SHOT" "$SHOTS/wayland.png" 2>/dev/null || true
BOX=$(convert "$SHOT" -alpha off -fill black +opaque "#000080" -format '%@' info:)   # WxH+X+Y
[[ "$BOX" =~ \+([0-9]+)\+([0-9]+)$ ]] || fail "no title in the screenshot ($BOX)"
X=$((BASH_REMATCH[1] - 3)) Y=$((BASH_REMATCH[2] - 2))
NAVY=$(count_in_shot "#000080" 366 35 "$X" "$Y")
GREEN=$(count_in_shot "#D2F7DD" 579 548 "$X" $((Y + 50)))
WINDOW=$(count_in_shot "#DBE0EE" 250 8 $((X + 100)) $((Y + 38)))
LETTERS=$(count_in_shot "#000000" 120 40 $((X + 656)) $((Y + 472)))
FACE=$(count_in_shot "#EFEFEF" 120 40 $((X + 656)) $((Y + 472)))
[ "$NAVY" -ge 1600 ] || fail "title: $NAVY navy pixels"
[ "$GREEN" -ge 45000 ] || fail "headers: $GREEN light green pixels"
[ "$WINDOW" = 2000 ] || fail "window colour: $WINDOW of 2000 pixels"
[ "$LETTERS" -ge 300 ] && [ "$FACE" -ge 3000 ] || fail "はじめる: $LETTERS letter and $FACE face pixels"
close_and_wait "drill window"
[ ! -s "$OUTPUT" ] || { cat "$OUTPUT"; fail "the drill window printed on the terminal"; }

# The chart alone, over a history of two operations. Its client-side
# protocol log names the app id.
printf '2024/4/03  100点  たしざん  1:40:2\r\n2024/4/02  97点  かけざん  2:01:5\r\n' |
  iconv -f UTF-8 -t CP932 >"$WORK/date/seiseki.dat"
(cd "$WORK" && WAYLAND_DEBUG=client exec "$PROGRAM" --progress >"$OUTPUT" 2>&1) &
PID=$!
wait_for_colour "#0072B2" 50          # addition
MULTIPLICATION=$(count_in_shot "#009E73" 1280 1024 0 0)
[ "$MULTIPLICATION" -gt 20 ] || fail "chart: $MULTIPLICATION pixels of multiplication"
close_and_wait "chart"
grep -q 'set_app_id("org.sorabe.Sorabe")' "$OUTPUT" || fail "the chart window has no app id org.sorabe.Sorabe"
grep -v '^\[[0-9. ]*\] ' "$OUTPUT" >"$WORK/printed" || true
[ ! -s "$WORK/printed" ] || { cat "$WORK/printed"; fail "the chart printed on the terminal"; }
echo "wayland: drill window at $X,$Y (navy $NAVY, green $GREEN, はじめる $LETTERS); chart; closed with status 0"
