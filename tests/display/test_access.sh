#!/bin/bash
# The program as a screen reader meets it: a private D-Bus session with the
# accessibility bus, the program told to speak on it, and an AT-SPI client
# (tests/display/access_client.py) that presses "はじめる" through its
# action, hears the countdown, checks the name of the focused answer cell
# against its headers, types an answer, opens the score list's menu with
# Shift+F10 and the chart from it, and presses "おわる". The program prints
# nothing on the terminal all along.
PROGRAM=$1 SOURCE=$2
if [ -z "${SORABE_ACCESS_SESSION:-}" ]; then
  export SORABE_ACCESS_SESSION=1
  exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/common.sh"

LAUNCHER=""
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
  [ -x "$candidate" ] && LAUNCHER=$candidate && break
done
[ -n "$LAUNCHER" ] || fail "at-spi-bus-launcher not found (package at-spi2-core)"
# Without the display: the bus is found through the session bus, and the
# launcher need not touch the X server.
env -u DISPLAY "$LAUNCHER" --launch-immediately >/dev/null 2>&1 &
BUS=$!
# One client holds the display for the whole test: the X server resets when
# its last client leaves, and the window search of start_program comes and
# goes while the program, slower to start with the bus, is connecting.
xprop -root -spy >/dev/null 2>&1 &
HOLD=$!
trap 'cleanup; kill "$BUS" "$HOLD" 2>/dev/null || true' EXIT

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_program
/usr/bin/python3 "$(dirname "$0")/access_client.py" || fail "the screen reader's view is wrong (above)"
wait_for_exit 10
[ "$STATUS" -eq 0 ] || fail "the program ended with status $STATUS"
if [ -s "$OUTPUT" ]; then
  fail "the program wrote on the terminal: $(head -3 "$OUTPUT")"
fi
