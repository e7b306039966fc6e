#!/bin/bash
# The drill on a terminal without a display, or with one named that cannot
# be reached (a stale DISPLAY in a remote shell): every option is read first,
# a wrong one is status 2 and one line naming it, a window asked for is
# status 1 and one line, and what needs no window just runs. Never the
# toolkit's abort.
CMAKE=$1 BUILD=$2 SOURCE=$3 VERSION=$4
source "$(dirname "$0")/common.sh"

DRILL="$BUILD/Sorabe"
export XDG_RUNTIME_DIR="$T/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
cd "$T"

#   case DISPLAY STATUS TEXT ARGS...
case_() {
  local display=$1 status=$2 text=$3; shift 3
  set +e; DISPLAY=$display "$DRILL" "$@" >/dev/null 2>"$T/err"; local got=$?; set -e
  [ "$got" = "$status" ] || fail "DISPLAY='$display' Sorabe $*: status $got, not $status [$(cat "$T/err")]"
  [ -z "$text" ] || grep -qF -- "$text" "$T/err" || fail "DISPLAY='$display' Sorabe $*: [$(cat "$T/err")] does not say [$text]"
  [ "$(grep -c . "$T/err")" -le 1 ] || fail "DISPLAY='$display' Sorabe $*: more than one line [$(cat "$T/err")]"
}
for display in "" ":987"; do
  case_ "$display" 2 "unknown option '--bogus'"   --bogus
  case_ "$display" 2 "unknown option '--bogus'"   --progress --bogus
  case_ "$display" 2 "--grid"                     --progress --grid 7
  case_ "$display" 1 "display"                    --progress
  case_ "$display" 1 "display"
  case_ "$display" 0 ""                           --help
  case_ "$display" 0 ""                           --sheet "$T/s.pdf"
done
case_ ":987" 1 "cannot reach the display :987"
LC_ALL=ja_JP.UTF-8 case_ ":987" 1 "画面 :987 に接続できない"
echo "without a display: options read, one line each, no abort"
