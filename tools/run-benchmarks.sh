#!/bin/sh
# Runs every benchmark of the build, offscreen; each prints its own ratios.
# A benchmark that fails is reported and the others still run; the exit
# status says whether all of them succeeded.
build="$1"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
failed=""
for b in "$build"/bench/bench_*; do
  # Only the programs: the build keeps folders of its own beside them.
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" || failed="$failed $(basename "$b")"
done
if [ -n "$failed" ]; then
  echo "failed:$failed" >&2
  exit 1
fi
