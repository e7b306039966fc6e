#!/bin/sh
# Runs every benchmark of the build, offscreen; each prints its own ratios.
set -e
build="$1"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
done
