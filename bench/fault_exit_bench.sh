#!/usr/bin/env bash
# From a fault in a process with 16 threads to the end of that process, with the report
# printed (to a file), saved beside the program and uploaded to the test tracker on loopback.
# Median of REPEAT runs, with and without the crash dump. Usage: bench/fault_exit_bench.sh BUILD_DIR [REPEAT]
set -euo pipefail
build=${1:?usage: bench/fault_exit_bench.sh BUILD_DIR [REPEAT]}
build=$(cd "$build" && pwd)  # the script works in a folder of its own
repeat=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
port=$(cat "$build/bench/fault_exit_port.txt")
work=$(mktemp -d /tmp/fault-exit-bench.XXXXXX)
trap 'touch "$work/tracker/stop"; rm -rf "$work"' EXIT

python3 "$here/../tests/reporter/delivery/tracker/fake_tracker.py" "$work/tracker" "$port" &
for _ in $(seq 200); do [ -f "$work/tracker/port" ] && break; sleep 0.05; done

# The requests the tracker has taken so far.
requests() {
  local count
  count=$(grep -c '^end$' "$work/tracker/requests.log" 2>/dev/null) || true
  echo "${count:-0}"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Median milliseconds from the fault to the end of the process, over REPEAT runs of a probe.
measure() {
local probe=$1
rm -f "$work/times.txt"
for run in $(seq "$repeat"); do
  rm -rf "$work/$run"
  mkdir "$work/$run"
  cp "$build/bin/$probe" "$work/$run/"
  before=$(requests)
  set +e
  "$work/$run/$probe" "$work/$run/moment" > "$work/$run/output.txt"
  status=$?
  set -e
  ended=$(date +%s%N)
  grep -q "EAccessViolation" "$work/$run/output.txt" || { echo "run $run: no report printed" >&2; exit 1; }
  # The saved file goes once the tracker has the case, so either of the two proves the report.
  [ -f "$work/$run/bugreport.txt" ] || [ "$(requests)" -gt "$before" ] ||
    { echo "run $run: no report saved nor uploaded" >&2; exit 1; }
  [ "$status" = 1 ] || { echo "run $run: exit status $status" >&2; exit 1; }
  echo $(( ended - $(cat "$work/$run/moment") )) >> "$work/times.txt"
done
median < "$work/times.txt"
}
without=$(measure fault_exit_probe_without_dump)
with=$(measure fault_exit_probe)
cases=$(grep -c "^part 46696c6531 " "$work/tracker/requests.log" || true)
# The largest dump received (File2), in bytes as the case carried it.
dump=$(awk '$1 == "part" && $2 == "46696c6532" { n = length($6) / 2; if (n > m) m = n } END { print m + 0 }' \
  "$work/tracker/requests.log")
awk -v t="$with" -v w="$without" -v n="$repeat" -v c="$cases" -v d="$dump" 'BEGIN {
  printf "fault to exit (16 threads, report printed, saved, uploaded): %.0f ms median of %d runs; %d cases with a file received (target: under 500 ms)\n", t/1e6, n, c
  printf "the same without the crash dump: %.0f ms; the dump adds %.0f ms and is %.0f KiB (target: under 2 MB)\n", w/1e6, (t-w)/1e6, d/1024 }'
