#!/bin/bash
# Typing into an answer cell on a real display: the digits show blue and
# centred, nothing clipped; a double click shows the highlight colours.
PROGRAM=$1 SOURCE=$2
source "$(dirname "$0")/common.sh"

start_program
# SaNumEdit1: 56,112, 54 x 49.
CX=56 CY=112 CW=54 CH=49
click_at $((CX + 27)) $((CY + 24))
sleep 0.3
xdotool type --delay 50 "12"
sleep 0.5
import -window root "$SHOTS/cell-typed.png"

BLUE=$(count_colour "#0000FF" $CX $CY $CW $CH)
[ "$BLUE" -gt 40 ] || fail "only $BLUE blue pixels in SaNumEdit1"
read -r LEFT RIGHT < <(colour_span "#0000FF" $CX $CY $CW $CH)
# Centred: equal room left and right within a few pixels, and clear of the
# 2-pixel edge on both sides.
MARGIN_L=$((LEFT - CX)) MARGIN_R=$((CX + CW - 1 - RIGHT))
[ "$MARGIN_L" -ge 3 ] && [ "$MARGIN_R" -ge 3 ] || fail "digits reach the edge: $LEFT..$RIGHT"
DIFF=$((MARGIN_L - MARGIN_R)); [ "${DIFF#-}" -le 3 ] || fail "not centred: margins $MARGIN_L and $MARGIN_R"

# A double click selects the cell: the highlight replaces the blue digits.
xdotool mousemove $((WIN_X + CX + 27)) $((WIN_Y + CY + 24)) click --repeat 2 --delay 80 1
sleep 0.5
import -window root "$SHOTS/cell-selected.png"
BLUE_AFTER=$(count_colour "#0000FF" $CX $CY $CW $CH)
WHITE_TEXT=$(count_colour "#FFFFFF" $((LEFT)) $((CY + 4)) $((RIGHT - LEFT + 1)) $((CH - 8)))
[ "$BLUE_AFTER" -lt 5 ] || fail "$BLUE_AFTER blue pixels left after the double click"
FILLED=$(import -window root -crop "$((RIGHT - LEFT + 1))x10+$((WIN_X + LEFT))+$((WIN_Y + CY + 20))" -depth 8 txt:- |
  grep -v -i -c -E " #(FFFFFF|0000FF) " || true)
[ "$FILLED" -gt 50 ] || fail "no highlight behind the value ($FILLED pixels)"
echo "cell: $BLUE blue pixels from x=$LEFT to $RIGHT (margins $MARGIN_L/$MARGIN_R); selected: $FILLED highlight pixels, $WHITE_TEXT highlighted-text pixels"
