#!/bin/sh
# Prepares the folder the program runs in: date/seiseki.dat and
# date/mas25.dat (created empty only when missing, never overwritten) and the
# countdown sound cd.wav.
set -e
dir="$1"; assets="$2"
mkdir -p "$dir/date"
for f in seiseki.dat mas25.dat; do
  [ -e "$dir/date/$f" ] || : > "$dir/date/$f"
done
[ -e "$dir/cd.wav" ] || cp "$assets/cd.wav" "$dir/cd.wav"
