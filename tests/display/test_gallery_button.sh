#!/bin/bash
# The gallery's button page on a real display: the cursor over a button
# raises its hover bevel and taking it away lowers it again; holding the
# mouse on the button with an 800 ms drop-down delay opens its menu at the
# button's bottom-left corner after the delay and not before, and clicks
# nothing; a quick click on it clicks.
PROGRAM=$1 SOURCE=$2
source "$(dirname "$0")/common.sh"

GALLERY=$(dirname "$PROGRAM")/examples/gallery/gallery
[ -x "$GALLERY" ] || fail "no gallery beside the program ($GALLERY)"

"$GALLERY" --page button > "$WORK/reports" &
PID=$!
find_window "Sorabe widget gallery"
xdotool mousemove $((WIN_X + 5)) $((WIN_Y + WIN_H - 5))
sleep 1

# The box "left top right bottom" (window coordinates) of the pixels of one
# colour: the face of a button of that colour. Looks in the window
# rectangle x y width height, or in the whole window.
face_box() {
  local x=${2:-0} y=${3:-0} w=${4:-$WIN_W} h=${5:-$WIN_H}
  import -window root -crop "${w}x${h}+$((WIN_X + x))+$((WIN_Y + y))" -depth 8 txt:- | grep -i " $1 " |
    awk -F'[,:]' -v x0="$x" -v y0="$y" '{x = $1 + x0; y = $2 + y0
      if (l == "" || x < l) l = x; if (x > r) r = x
      if (t == "" || y < t) t = y; if (y > b) b = y}
      END {if (l != "") print l, t, r, b}'
}

# Hovering: the raised hover bevel takes the face's outer two pixels, the
# inner bevel moves in by as much.
HOVER="#FFF4D6"
read -r L0 T0 R0 B0 < <(face_box "$HOVER") || fail "no button of colour $HOVER"
AROUND="$((L0 - 8)) $((T0 - 8)) $((R0 - L0 + 17)) $((B0 - T0 + 17))"
xdotool mousemove $((WIN_X + (L0 + R0) / 2)) $((WIN_Y + (T0 + B0) / 2))
sleep 0.7
import -window root "$SHOTS/gallery-hover.png"
read -r L1 T1 R1 B1 < <(face_box "$HOVER" $AROUND)
[ "$L1" = $((L0 + 2)) ] && [ "$T1" = $((T0 + 2)) ] && [ "$R1" = $((R0 - 2)) ] && [ "$B1" = $((B0 - 2)) ] ||
  fail "hovered face $L1,$T1-$R1,$B1; at rest $L0,$T0-$R0,$B0, expected 2 pixels in"
xdotool mousemove $((WIN_X + 5)) $((WIN_Y + WIN_H - 5))
sleep 0.7
read -r L2 T2 R2 B2 < <(face_box "$HOVER" $AROUND)
[ "$L2 $T2 $R2 $B2" = "$L0 $T0 $R0 $B0" ] || fail "the bevel stayed after the cursor left: $L2,$T2-$R2,$B2"

# The delayed drop-down. At rest the inner bevel is 2 pixels wide, so the
# button's edge lies 2 pixels outside the face.
DELAYED="#D6ECFF"
read -r L T R B < <(face_box "$DELAYED" 0 $((T0 + 100)) "$WIN_W" $((WIN_H - T0 - 100))) ||
  fail "no button of colour $DELAYED"
BUTTON_LEFT=$((WIN_X + L - 2)) BUTTON_BOTTOM=$((WIN_Y + B + 3))
windows() { xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l; }
BEFORE=$(windows)
xdotool mousemove $((WIN_X + (L + R) / 2)) $((WIN_Y + (T + B) / 2))
sleep 0.3
START=$(date +%s%N)
xdotool mousedown 1
MENU_MS=""
while [ $(( ($(date +%s%N) - START) / 1000000 )) -lt 5000 ]; do
  if [ "$(windows)" -gt "$BEFORE" ]; then MENU_MS=$(( ($(date +%s%N) - START) / 1000000 )); break; fi
  sleep 0.05
done
[ -n "$MENU_MS" ] || { xdotool mouseup 1; fail "no menu within 5 s of holding the button"; }
[ "$MENU_MS" -ge 800 ] || { xdotool mouseup 1; fail "the menu opened after $MENU_MS ms, before the 800 ms delay"; }
sleep 0.3
import -window root "$SHOTS/gallery-dropdown.png"
MENU=$(for w in $(xdotool search --onlyvisible --pid "$PID"); do [ "$w" = "$WID" ] || echo "$w"; done | head -1)
eval "$(xwininfo -id "$MENU" | awk '/Absolute upper-left X/ {print "MENU_X=" $NF} /Absolute upper-left Y/ {print "MENU_Y=" $NF}')"
[ "$MENU_X" = "$BUTTON_LEFT" ] && [ "$MENU_Y" = "$BUTTON_BOTTOM" ] ||
  { xdotool mouseup 1; fail "menu at $MENU_X,$MENU_Y; the button's bottom-left corner is $BUTTON_LEFT,$BUTTON_BOTTOM"; }
xdotool mouseup 1
xdotool key Escape
sleep 0.5
[ "$(windows)" = "$BEFORE" ] || fail "the menu did not close"
# The gallery writes what the buttons report, one line each.
grep -q "OnMouseEnter" "$WORK/reports" || fail "no OnMouseEnter reported: $(cat "$WORK/reports")"
! grep -q "click: DelayedButton" "$WORK/reports" || fail "the press that opened the menu clicked"
# A quick click on the same button is an ordinary click.
xdotool click 1
sleep 0.5
grep -q "click: DelayedButton" "$WORK/reports" || fail "a quick click did not click"
echo "gallery: hover raised the bevel ($L0,$T0-$R0,$B0 -> $L1,$T1-$R1,$B1); menu after $MENU_MS ms at $MENU_X,$MENU_Y"
