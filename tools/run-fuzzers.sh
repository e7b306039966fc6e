#!/bin/sh
# Runs every fuzz target built in FUZZ_BUILD/obj for SECONDS each, one after
# the other. Each grows its corpus in FUZZ_BUILD/corpus/<name>, starting
# from the committed seeds in tests/fuzz/corpus/<name>; an input that breaks
# a rule is kept in FUZZ_BUILD/crashes/ and stops the run.
#   run-fuzzers.sh FUZZ_BUILD SECONDS [name...]
set -e
build=$1
seconds=$2
shift 2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$build/corpus" "$build/crashes"
names=$*
if [ -z "$names" ]; then
  for program in "$build"/obj/tests/fuzz/fuzz_*; do
    [ -f "$program" ] && [ -x "$program" ] && names="$names ${program##*/fuzz_}"
  done
fi
for name in $names; do
  mkdir -p "$build/corpus/$name"
  echo "== $name: $seconds s (log: $build/$name.log)"
  status=0
  dict=""
  [ -f "$source_dir/tests/fuzz/$name.dict" ] && dict="-dict=$source_dir/tests/fuzz/$name.dict"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$source_dir/tests/fuzz/lsan.supp":print_suppressions=0 \
  QT_QPA_PLATFORM=offscreen \
    "$build/obj/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/crashes/$name-" $dict \
      "$build/corpus/$name" "$source_dir/tests/fuzz/corpus/$name" > "$build/$name.log" 2>&1 || status=$?
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$build/$name.log" || true
  if [ "$status" -ne 0 ]; then
    tail -40 "$build/$name.log"
    echo "== $name found a fault: $build/crashes/" >&2
    exit "$status"
  fi
done
