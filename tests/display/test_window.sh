#!/bin/bash
# The program maps an 803 x 600 window centred on the screen, and a click on
# "おわる" ends it with status 0 within 2 seconds.
PROGRAM=$1 SOURCE=$2
source "$(dirname "$0")/common.sh"

start_program
[ "$WIN_W" = 803 ] && [ "$WIN_H" = 600 ] || fail "client area is ${WIN_W}x${WIN_H}, not 803x600"

read -r SCREEN_W SCREEN_H < <(xwininfo -root | awk '/^  Width/ {w=$NF} /^  Height/ {h=$NF} END {print w, h}')
EXPECT_X=$(( (SCREEN_W - 803) / 2 )); EXPECT_Y=$(( (SCREEN_H - 600) / 2 ))
[ $(( WIN_X - EXPECT_X )) -le 1 ] && [ $(( EXPECT_X - WIN_X )) -le 1 ] &&
  [ $(( WIN_Y - EXPECT_Y )) -le 1 ] && [ $(( EXPECT_Y - WIN_Y )) -le 1 ] ||
  fail "window at $WIN_X,$WIN_Y; centred would be $EXPECT_X,$EXPECT_Y"

# The window's own colour shows between the controls.
[ "$(pixel_at 300 30)" = "219,224,238" ] || fail "window colour at 300,30 is $(pixel_at 300 30)"

import -window root "$SHOTS/window.png"
click_at $((648 + 68)) $((536 + 28))   # "おわる"
wait_for_exit 2
[ "$STATUS" = 0 ] || fail "exit status $STATUS"
echo "window: ${WIN_W}x${WIN_H} at $WIN_X,$WIN_Y on ${SCREEN_W}x${SCREEN_H}; closed with status 0"
