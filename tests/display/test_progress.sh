#!/bin/bash
# The progress features on a real display. A right click on the score list
# opens the menu; "成績グラフ…" opens the chart window, which shows the
# history. The drill window then runs a whole 25-square drill, with the menu
# opened and dismissed while its stopwatch runs. --progress opens the chart
# alone; --sheet writes a PDF without any display and refuses bad values.
PROGRAM=$1 SOURCE=$2
source "$(dirname "$0")/common.sh"

mkdir -p "$WORK/date"
printf '2024/4/03  100点  たしざん  1:40:2\r\n2024/4/02  97点  かけざん  2:01:5\r\n2024/4/01  95点  たしざん  1:52:0\r\n' |
  iconv -f UTF-8 -t CP932 > "$WORK/date/seiseki.dat"
: > "$WORK/date/mas25.dat"
start_program

LIST_X=$((579 + 110)) LIST_Y=$((136 + 70))
open_chart() {  # right click on the list, first entry of the menu
  xdotool mousemove $((WIN_X + LIST_X)) $((WIN_Y + LIST_Y)) click 3
  sleep 0.7
  xdotool key Down Return
}

# The window geometry of the first visible window with this exact name.
window_named() {
  local id
  for _ in $(seq 1 50); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || fail "no window named $1"
  echo "$id"
}

# Pixels of one colour inside a window.
colour_in_window() {
  local geometry
  geometry=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /^  Width/ {w=$NF} /^  Height/ {h=$NF} END {print w "x" h "+" x "+" y}')
  import -window root -crop "$geometry" -depth 8 txt:- | grep -c -i " $2 " || true
}

# 1. The chart of the 100-square's history.
open_chart
CHART=$(window_named '成績グラフ 100マス')
sleep 0.8
import -window root "$SHOTS/progress-chart.png"
BLUE=$(colour_in_window "$CHART" "#0072B2")     # addition
GREEN=$(colour_in_window "$CHART" "#009E73")    # multiplication
[ "$BLUE" -gt 50 ] && [ "$GREEN" -gt 20 ] || fail "chart without drills ($BLUE / $GREEN pixels)"
# Out of the way of the drill window (there is no window manager to do it).
xdotool windowmove "$CHART" 0 830
xdotool windowfocus --sync "$WID" 2>/dev/null || xdotool windowfocus "$WID"
sleep 0.5

# 2. A whole 25-square drill, the menu opened and dismissed on the way.
click_at $((368 + 130)) 16                 # "25マス"
sleep 0.3
click_at $((648 + 68)) $((464 + 28))       # "はじめる"
sleep 3.6                                   # the countdown
RUNNING=$(date +%s%N)
xdotool mousemove $((WIN_X + LIST_X)) $((WIN_Y + LIST_Y)) click 3
sleep 1.5                                   # the stopwatch runs on under the menu
import -window root "$SHOTS/progress-menu.png"
xdotool key Escape
sleep 0.3
for k in $(seq 1 25); do
  xdotool type --delay 15 "1"
  xdotool key Return
done
END=$(date +%s%N)
sleep 1
BOXES=$(xdotool search --onlyvisible --name '^Sorabe$' | wc -l)
[ "$BOXES" -ge 2 ] || fail "no closing message box after the drill ($BOXES windows)"
xdotool key Return
sleep 0.5
RECORD=$(head -n 1 "$WORK/date/mas25.dat" | tr -d '\r' | iconv -f CP932 -t UTF-8)
case "$RECORD" in
  "$(date +%Y/%-m/%d)  "*"点  たしざん  "*) ;;
  *) fail "unexpected 25-square record: '$RECORD'" ;;
esac
IFS=: read -r M S T <<< "${RECORD##*  }"
RECORDED_MS=$(( (M * 600 + S * 10 + T) * 100 ))
ELAPSED_MS=$(( (END - RUNNING) / 1000000 ))
[ "$RECORDED_MS" -ge $(( ELAPSED_MS - 1500 )) ] ||
  fail "the stopwatch lost time under the menu: recorded $RECORDED_MS ms of $ELAPSED_MS ms"

# 3. The chart alone, for the 25-square, with the drill just recorded.
(cd "$WORK" && exec "$PROGRAM" --progress --grid 25) &
ALONE=$!
CHART25=$(window_named '成績グラフ 25マス')
sleep 0.8
[ "$(colour_in_window "$CHART25" "#0072B2")" -gt 20 ] || fail "the 25-square chart shows no drill"
kill "$ALONE"; wait "$ALONE" 2>/dev/null || true

# 4. Sheets without a display.
(cd "$WORK" && env -u DISPLAY -u WAYLAND_DISPLAY "$PROGRAM" --sheet sheets.pdf --grid 25 --op mul --count 3 --seed 9) ||
  fail "--sheet failed"
PAGES=$(pdfinfo "$WORK/sheets.pdf" | awk '/^Pages:/ {print $2}')
[ "$PAGES" = 6 ] || fail "sheets.pdf has $PAGES pages, not 6"
pdftotext "$WORK/sheets.pdf" - | grep -q 'なまえ' || fail "no なまえ on the sheets"
# Sheet names: "-" is standard output; anything but a .pdf name is refused
# with one line and nothing written.
mkdir "$WORK/names"
while read -r NAME WANT_STATUS WANT_FILE; do
  set +e
  (cd "$WORK/names" && env -u DISPLAY LC_ALL=C.UTF-8 XDG_RUNTIME_DIR="$WORK/runtime" "$PROGRAM" --sheet "$NAME" >"$WORK/stdout" 2>"$WORK/stderr")
  STATUS=$?
  set -e
  [ "$STATUS" = "$WANT_STATUS" ] || fail "--sheet $NAME: exit status $STATUS, not $WANT_STATUS"
  LIST=$(ls -A "$WORK/names")
  [ "$LIST" = "${WANT_FILE#.}" ] || fail "--sheet $NAME left '$LIST' in the folder"
  if [ "$NAME" = - ]; then
    pdfinfo "$WORK/stdout" | grep -q '^Pages: *2$' || fail "--sheet - wrote no PDF to standard output"
  else
    [ ! -s "$WORK/stdout" ] || fail "--sheet $NAME wrote to standard output"
  fi
  [ "$STATUS" = 0 ] || [ "$(wc -l <"$WORK/stderr")" = 1 ] || fail "--sheet $NAME: not one line: $(cat "$WORK/stderr")"
  rm -f "$WORK/names/"*
done <<'NAMES'
- 0 .
s.PDF 0 s.PDF
s.png 2 .
noext 2 .
NAMES

set +e
ERR=$(cd "$WORK" && env -u DISPLAY LC_ALL=C.UTF-8 "$PROGRAM" --sheet bad.pdf --count 0 2>&1 >/dev/null)
STATUS=$?
set -e
[ "$STATUS" -ne 0 ] || fail "--count 0 was accepted"
[ ! -e "$WORK/bad.pdf" ] || fail "a file was written for a bad option"
echo "$ERR" | grep -q -- '--count must be' || fail "no clear message for --count 0: $ERR"

click_at $((648 + 68)) $((536 + 28))       # "おわる"
wait_for_exit 3
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "progress: chart $BLUE/$GREEN pixels; 25-square drill '$RECORD' in $ELAPSED_MS ms; 6-page sheets"
