#!/usr/bin/env bash
# From a fault in a process with 16 threads to the end of that process, with the report
# printed (to a file), saved beside the program and uploaded to the test tracker on loopback.
# Median of REPEAT runs. Usage: bench/fault_exit_bench.sh BUILD_DIR [REPEAT]
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
for run in $(seq "$repeat"); do
  mkdir "$work/$run"
  cp "$build/bin/fault_exit_probe" "$work/$run/"
  before=$(requests)
  set +e
  "$work/$run/fault_exit_probe" "$work/$run/moment" > "$work/$run/output.txt"
  status=$?
  set -e
  ended=$(date +%s%N)
  grep -q "EAccessViolation" "$work/$run/output.txt" || { echo "run $run: no report printed"; exit 1; }
  # The saved file goes once the tracker has the case, so either of the two proves the report.
  [ -f "$work/$run/bugreport.txt" ] || [ "$(requests)" -gt "$before" ] ||
    { echo "run $run: no report saved nor uploaded"; exit 1; }
  [ "$status" = 1 ] || { echo "run $run: exit status $status"; exit 1; }
  echo $(( ended - $(cat "$work/$run/moment") )) >> "$work/times.txt"
done
cases=$(grep -c "^part .*46696c6531" "$work/tracker/requests.log" || true)
awk -v t="$(median < "$work/times.txt")" -v n="$repeat" -v c="$cases" 'BEGIN {
  printf "fault to exit (16 threads, report printed, saved, uploaded): %.0f ms median of %d runs; %d cases with a file received (target: under 500 ms)\n", t/1e6, n, c }'
