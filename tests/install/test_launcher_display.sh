#!/bin/bash
# The staged sorabe command on a real display, as a desktop starts it (no
# terminal), with HOME in a scratch folder: it makes the data folder and the
# drill window opens there; a 25-square drill writes its record; a second
# start keeps that history byte for byte. A folder that cannot be made shows
# one box titled "Sorabe" and ends with status 1; with a terminal the message
# goes there and no box opens.
CMAKE=$1 BUILD=$2 SOURCE=$3 VERSION=$4
source "$(dirname "$0")/common.sh"
source "$(dirname "$0")/../display/window.sh"
PID=""
trap '[ -z "$PID" ] || kill "$PID" 2>/dev/null || true; rm -rf "$T"' EXIT

stage "$T/stage"
export HOME="$T/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
DATA="$HOME/.local/share/sorabe"

windows() { xdotool search --onlyvisible --name '^Sorabe$' 2>/dev/null | wc -l; }
start() { "$STAGE/bin/sorabe" "$@" </dev/null >"$T/out" 2>"$T/err" & PID=$!; }

# --- first start: the folder is made and the window opens
start
find_window Sorabe
[ "$(readlink "/proc/$PID/cwd")" = "$DATA" ] || fail "the drill runs in $(readlink "/proc/$PID/cwd"), not $DATA"
[ -f "$DATA/date/seiseki.dat" ] && [ -f "$DATA/date/mas25.dat" ] && [ -L "$DATA/cd.wav" ] || fail "data folder not prepared"

# A 25-square drill: "25マス", "はじめる", the countdown, "1" and Enter in
# each of the 25 answer cells, Enter on the closing box, "おわる".
click_at $((368 + 120 + 12)) $((8 + 8))
click_at $((648 + 68)) $((464 + 28))
sleep 3.6
for _ in $(seq 1 25); do xdotool type --delay 15 1; xdotool key Return; done
sleep 1
[ "$(windows)" -ge 2 ] || fail "no closing box after the drill"
xdotool key Return
sleep 0.7
click_at $((648 + 68)) $((536 + 28))
wait_for_exit 5
[ "$STATUS" = 0 ] || fail "the drill ended with status $STATUS"
RECORD=$(tr -d '\r' <"$DATA/date/mas25.dat" | iconv -f CP932 -t UTF-8)
[[ "$RECORD" == "$(date +%Y/%-m/%d)  "*"点  たしざん  "* ]] || fail "no 25-square record: '$RECORD'"
cp "$DATA/date/mas25.dat" "$T/mas25.first"

# --- second start: the history stays as the first start wrote it
start
find_window Sorabe
click_at $((648 + 68)) $((536 + 28))
wait_for_exit 5
cmp "$DATA/date/mas25.dat" "$T/mas25.first" || fail "the second start changed the history"

# --- a folder that cannot be made: a box, then status 1
touch "$T/a-file"
start --data "$T/a-file/hana"
find_window Sorabe
import -window root "$T/box.png"
xdotool key Return
wait_for_exit 5
[ "$STATUS" = 1 ] || fail "status $STATUS after the box"
grep -qF "$T/a-file/hana" "$T/err" || fail "the message did not go to stderr too"

# --- the same with a terminal: the message only there, no box
set +e
script -qec "'$STAGE/bin/sorabe' --data '$T/a-file/hana'" /dev/null >"$T/tty" 2>&1 & PID=$!
set -e
wait_for_exit 5
[ "$STATUS" = 1 ] || fail "status $STATUS with a terminal"
grep -qF "$T/a-file/hana" "$T/tty" || fail "no message on the terminal"
echo "launcher on a display: record '$RECORD' kept across starts; refusal shown in a box"
