#!/usr/bin/env bash
# The start-up cost the crash reporter adds to Update run without switches: the reporter's own
# start-up and shutdown measured inside a program that carries Update's settings, symbol data
# and checksum stamp, and the whole run of Update beside the same entry without the reporter.
# Medians of REPEAT runs, and where valgrind is there the instructions each executes.
# Usage: bench/startup_bench.sh BUILD_DIR [REPEAT]
set -euo pipefail
build=${1:?usage: bench/startup_bench.sh BUILD_DIR [REPEAT]}
build=$(cd "$build" && pwd)  # the script works in a folder of its own
repeat=${2:-50}
work=$(mktemp -d /tmp/startup-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for _ in $(seq "$repeat"); do "$build/bin/startup_probe"; done > probe.txt
startup=$(cut -d' ' -f1 probe.txt | median)
shutdown=$(cut -d' ' -f2 probe.txt | median)

run_ns() {
  local start
  start=$(date +%s%N)
  "$1" > /dev/null
  echo $(( $(date +%s%N) - start ))
}
for _ in $(seq "$repeat"); do
  run_ns "$build/bin/Update" >> with.txt
  run_ns "$build/bin/update_without_reporter" >> without.txt
done
with=$(median < with.txt)
without=$(median < without.txt)

awk -v s="$startup" -v d="$shutdown" -v w="$with" -v o="$without" 'BEGIN {
  printf "reporter start-up: %.2f ms, shutdown: %.2f ms (target: start-up under 2 ms)\n", s/1e3, d/1e3
  printf "Update without switches: %.1f ms with the reporter, %.1f ms without; ratio %.2f (target: within 1.5)\n",
         w/1e6, o/1e6, w/o }'

# Instruction counts do not depend on what else the machine runs: where valgrind is there,
# the same comparison by instructions executed (every thread, the dynamic loader included).
if command -v valgrind > /dev/null; then
  instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 > /dev/null |
      sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
  }
  with=$(instructions "$build/bin/Update")
  without=$(instructions "$build/bin/update_without_reporter")
  startup=$(instructions "--toggle-collect=Reporter::TCrashReporter::TCrashReporter()" \
    "$build/bin/startup_probe")
  awk -v s="$startup" -v w="$with" -v o="$without" 'BEGIN {
    printf "instructions: reporter start-up %.2f M; Update without switches %.2f M with the reporter, %.2f M without; ratio %.2f\n",
           s/1e6, w/1e6, o/1e6, w/o }'
fi
