#!/bin/bash
# The weak facts on a real display: a 25-square addition drill typed with
# xdotool, its headers typed over with known digits, one answer wrong and one
# cell typed after a 2 s pause. The answers file then holds the drill, and
# --facts --text lists the wrong fact first and the slow one second. The
# map window opens from the score list's menu.
PROGRAM=$1 SOURCE=$2
source "$(dirname "$0")/common.sh"
start_program

click_at $((368 + 130)) 16                 # "25マス"
sleep 0.3
click_at $((648 + 68)) $((464 + 28))       # "はじめる"
sleep 3.6                                   # the countdown
# The drawn headers, typed over: tops 1 to 5, lefts 1 to 5.
for n in 1 2 3 4 5; do
  click_at $((104 + 88 * (n - 1) + 44)) $((50 + 45)); sleep 0.1
  xdotool key ctrl+a type "$n"
  click_at $((16 + 44)) $((50 + 88 + 88 * (n - 1) + 45)); sleep 0.1
  xdotool key ctrl+a type "$n"
done
click_at $((104 + 44)) $((50 + 88 + 45))    # the first answer cell
sleep 0.3
for k in $(seq 1 25); do
  top=$(( (k - 1) % 5 + 1 )) left=$(( (k - 1) / 5 + 1 ))
  answer=$((top + left))
  [ "$k" -eq 1 ] && answer=99              # 1 + 1: wrong
  [ "$k" -eq 7 ] && sleep 2.2              # 2 + 2: slow
  xdotool type --delay 15 "$answer"
  xdotool key Return
  sleep 0.05
done
sleep 1
xdotool key Return                          # "しゅうりょう"
sleep 0.5

LINES=$(tail -n +2 "$WORK/date/answers.tsv" | wc -l)
[ "$LINES" -eq 25 ] || fail "answers.tsv holds $LINES answers, not 25"
head -n 1 "$WORK/date/answers.tsv" | grep -q "^drill	grid	op	top	left	answer	right	ms$" || fail "no header line"
SLOW=$(awk -F'\t' '$4 == 2 && $5 == 2 {print $8}' "$WORK/date/answers.tsv")
[ "${SLOW:-0}" -ge 2000 ] || fail "2 + 2 held the focus ${SLOW:-?} ms"
RANKED=$(cd "$WORK" && env -u DISPLAY "$PROGRAM" --facts --text --op add --count 2 2>/dev/null | cut -f1)
[ "$RANKED" = "$(printf '1 + 1 = 2\n2 + 2 = 4')" ] || fail "ranked: $RANKED"

# The map from the score list's menu: its fourth entry, "にがて…".
xdotool mousemove $((WIN_X + 579 + 110)) $((WIN_Y + 136 + 70)) click 3
sleep 0.7
xdotool key Down Down Down Return
for _ in $(seq 1 50); do
  MAP=$(xdotool search --onlyvisible --name '^にがて たしざん$' 2>/dev/null | head -1 || true)
  [ -n "$MAP" ] && break
  sleep 0.1
done
[ -n "$MAP" ] || fail "the map window did not open"
sleep 0.5
import -window root "$SHOTS/weak-facts.png"
echo "weak facts: $LINES answers, slow cell $SLOW ms, map window $MAP"
