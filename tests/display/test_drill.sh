#!/bin/bash
# A whole 100-square drill typed as a child would: a click on the already
# checked "たしざん", Enter held on "はじめる" (its repeats must not click
# "おわる"), then "99" and Enter in every cell. The closing box
# appears and Enter dismisses it; the history's first line is the addition
# record with score 0 in Shift-JIS with CR LF and the typing time; the answer
# cells are red. The program prints nothing on the terminal all along (no
# sound library noise where there is no sound card).
PROGRAM=$1 SOURCE=$2
source "$(dirname "$0")/common.sh"

start_program
click_at $((656 + 12)) $((288 + 24))   # "たしざん", checked already
sleep 0.3
# Back to "はじめる" (Shift+Tab twice: "おわる", then "はじめる"), and Enter
# held on it for 1.5 s: the repeats during the countdown click nothing.
xdotool key shift+Tab shift+Tab
sleep 0.3
xdotool keydown Return
START=$(date +%s%N)
sleep 1.5
xdotool keyup Return
sleep 0.3
kill -0 "$PID" 2>/dev/null || fail "the held Enter on はじめる ended the program"
BOXES=$({ xdotool search --onlyvisible --name '^Sorabe$' || true; } | wc -l)
[ "$BOXES" -eq 1 ] || fail "the window is gone after the held Enter ($BOXES windows)"
sleep 1.8                                 # the rest of the countdown
TYPING=$(date +%s%N)
for k in $(seq 1 100); do
  xdotool type --delay 15 "99"
  xdotool key Return
done
END=$(date +%s%N)
sleep 1

BOXES=$(xdotool search --onlyvisible --name '^Sorabe$' | wc -l)
[ "$BOXES" -ge 2 ] || fail "no closing message box ($BOXES windows)"
import -window root "$SHOTS/drill-closing.png"
xdotool key Return
sleep 0.7
BOXES=$(xdotool search --onlyvisible --name '^Sorabe$' | wc -l)
[ "$BOXES" -eq 1 ] || fail "the message box did not close ($BOXES windows)"
import -window root "$SHOTS/drill-graded.png"

FIRST=$(head -c 200 "$WORK/date/seiseki.dat" | head -n 1)
printf '%s' "$FIRST" | tail -c 1 | od -An -tx1 | grep -q 0d || fail "the record does not end in CR LF"
RECORD=$(printf '%s' "$FIRST" | tr -d '\r' | iconv -f CP932 -t UTF-8)
TODAY=$(date +%Y/%-m/%d)
case "$RECORD" in
  "$TODAY  0点  たしざん  "*) ;;
  *) fail "unexpected record: $RECORD" ;;
esac
TIME=${RECORD##*  }
IFS=: read -r M S T <<< "$TIME"
RECORDED_MS=$(( (M * 600 + S * 10 + T) * 100 ))
TYPED_MS=$(( (END - TYPING) / 1000000 ))
SINCE_START_MS=$(( (END - START) / 1000000 - 3000 ))
# The stopwatch runs from the end of the countdown (3 s after the click) to
# the last Enter.
LOW=$(( TYPED_MS - 1500 )) HIGH=$(( SINCE_START_MS + 1500 ))
[ "$RECORDED_MS" -ge "$LOW" ] && [ "$RECORDED_MS" -le "$HIGH" ] ||
  fail "recorded $TIME ($RECORDED_MS ms) but typing took $TYPED_MS ms"

# Red digits in the first and the last answer cell.
RED1=$(count_colour "#FF0000" 56 112 54 49)
RED100=$(count_colour "#FF0000" 525 544 54 49)
[ "$RED1" -gt 40 ] && [ "$RED100" -gt 40 ] || fail "answer cells not red ($RED1, $RED100 red pixels)"
if [ -s "$OUTPUT" ]; then
  grep -q ALSA "$OUTPUT" && fail "the sound library wrote on the terminal: $(head -3 "$OUTPUT")"
  fail "the program wrote on the terminal: $(head -3 "$OUTPUT")"
fi
echo "drill: record '$RECORD', typing took $TYPED_MS ms; red pixels $RED1 / $RED100"
