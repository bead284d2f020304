#!/bin/sh
# Runs every fuzz target of a `make fuzz` build for the given seconds, each on a corpus kept in the
# build folder and seeded from the project's own fixtures, and prints the executions per target.
# Exits 1 when a target found an input that crashes or breaks a promise (kept as fuzz-crash-*).
# Usage: scripts/run-fuzzers.sh <fuzz build folder> <seconds>
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 <fuzz build folder> <seconds>" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
seconds=$2
src=$(cd "$(dirname "$0")/.." && pwd)

# The fixtures each target starts from.
seeds_for() {
  case $1 in
    mdk_reader) find "$src/tests/data" "$src/examples" -name '*.uvproj*' ;;
    project_writer) find "$src/examples" "$src/tests/data" -name '.project' ;;
    cproject_writer) find "$src/examples" "$src/tests/data" -name '.cproject' ;;
    text_files) find "$src/examples" -name '*.ld' -o -name 'preferences.ini' ;;
    string_rules) printf '%s\n' '..\src\main.c' 'QM26R620AVGT7' 'IROM(0x08000000,0x100000)' \
      'USE_HAL, V="1,2" B' '..\inc; ..\..\lib' \
      '#if defined(__CC_ARM) || (LEVEL > 1 && TWICE(3) == 6)' ;;
  esac
}

status=0
printf '%-16s %14s  %s\n' target executions result
for target in mdk_reader project_writer cproject_writer text_files string_rules; do
  seeds="$build/fuzz-seeds/$target"
  corpus="$build/fuzz-corpus/$target"
  log="$build/fuzz-$target.log"
  rm -rf "$seeds"
  mkdir -p "$seeds" "$corpus"
  if [ "$target" = string_rules ]; then
    n=0
    seeds_for "$target" | while IFS= read -r line; do
      n=$((n + 1))
      printf '%s' "$line" > "$seeds/seed$n"
    done
  else
    n=0
    seeds_for "$target" | while IFS= read -r file; do
      n=$((n + 1))
      cp "$file" "$seeds/seed$n"
    done
  fi
  if "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -dict="$src/tests/fuzz/xml.dict" -artifact_prefix="$build/fuzz-crash-$target-" \
      "$corpus" "$seeds" > "$log" 2>&1; then
    result=ok
  else
    result="FOUND A FAULT: see $log"
    status=1
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  printf '%-16s %14s  %s\n' "$target" "${executions:-?}" "$result"
done
exit $status
