#!/bin/bash
# Runs inside the test guest (its job, started from the share): mounts the programs at the
# paths they were built at, then runs each program of the manifest as one Wine process.
# Programs of one lane (they share a resource, such as a port) run one after another, the
# others in any order; a worker per processor of the guest, each with a Wine of its own, takes
# the next job, longest first. Each program's output and exit status go to the share's results
# folder; a line per program goes to the console.
set -u
share=/share
results=$share/results
mkdir -p "$results"
say() { echo "guest: $*" >/dev/console; }
milliseconds() { echo $(($(date +%s%N) / 1000000)); }
started=$(milliseconds)

# Programs run from a disk of the guest, each file and folder of the payload at the path it has
# on the build machine: one started straight from the share crashed with a half-loaded image.
mkdir -p /payload
mount -t ext4 /dev/vdb /payload || { say "the payload disk did not mount"; exit 1; }
while read -r path; do
  if [ -d "/payload$path" ]; then
    mkdir -p "$path"
  else
    mkdir -p "$(dirname "$path")" && touch "$path"
  fi
  mount --bind "/payload$path" "$path" || { say "$path is not in the payload"; exit 1; }
done <"$share/payload"
say "payload mounted after $(($(milliseconds) - started)) ms"

run_program() {
  local name=$1 limit=$2 program=$3
  shift 3
  local begun status elapsed
  begun=$(milliseconds)
  (cd "$(dirname "$program")" && exec timeout -k 5 "$limit" /usr/lib/wine/wine "$program" "$@") \
    >"$results/$name.out" 2>&1 </dev/null
  status=$?
  elapsed=$(($(milliseconds) - begun))
  echo "$status" >"$results/$name.status"
  echo "$elapsed" >"$results/$name.ms"
  [ $status -eq 124 ] && echo "guest: no end within $limit s" >>"$results/$name.out"
  say "$name exit $status after $elapsed ms"
}

# A worker's programs run under a Wine of their own: its own prefix (a copy of the image's),
# server and virtual display, so that a program looking for any window does not meet the other
# worker's. Its first program also starts Wine's services, before the worker's programs race
# to. One server for the worker: a server that exits whenever its last program ends races with
# the next program starting.
start_wine() {
  local number=$1
  export WINEDEBUG=-all WINEPREFIX=/root/.wine DISPLAY=:$((7 + number))
  if [ "$number" -gt 0 ]; then
    WINEPREFIX=/root/.wine-$number
    # The image comes with the second worker's copy; a guest with more processors makes the rest.
    [ -d "$WINEPREFIX" ] || cp -a /root/.wine "$WINEPREFIX"
  fi
  Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  for _ in $(seq 200); do
    [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break
    sleep 0.05
  done
  /usr/lib/wine/wineserver32 -p
  # A program that crashes unhandled ends as on a machine without a debugger, after Wine's line
  # on where it crashed: the debugger named is one that cannot start. Wine's own would wait at
  # a dialog, or without one print its call stack into the program's own output, which the
  # tests read, for most of a minute; with none named Wine starts its own.
  /usr/lib/wine/wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Debugger /t REG_SZ /d 'C:\windows\no-debugger.exe' /f >/dev/null 2>&1
}

# The jobs: one per lane, one per program outside any ("unlocked"), each with the time its
# programs took in the build machine's last batch (the share's times, when it kept one); a
# program without a time counts as long, so that it starts early.
jobs=/tmp/jobs
declare -A took=()
if [ -f "$share/times" ]; then
  while IFS=$'\t' read -r name ms; do took[$name]=$ms; done <"$share/times"
fi
declare -A lane_time=()
while IFS=$'\t' read -r -a fields; do
  [ ${#fields[@]} -ge 4 ] || continue
  ms=${took[${fields[0]}]:-600000}
  if [ "${fields[1]}" = unlocked ]; then
    printf '%s\tprogram\t%s\n' "$ms" "${fields[0]}"
  else
    lane_time[${fields[1]}]=$((${lane_time[${fields[1]}]:-0} + ms))
  fi
done <"$share/manifest" >"$jobs.unsorted"
for lane in "${!lane_time[@]}"; do
  printf '%s\tlane\t%s\n' "${lane_time[$lane]}" "$lane" >>"$jobs.unsorted"
done
sort -t$'\t' -k1,1nr "$jobs.unsorted" | cut -f2,3 >"$jobs"

# Hands out the next job, once.
take_job() {
  (
    flock 9
    head -n1 "$jobs"
    sed -i 1d "$jobs"
  ) 9>"$jobs.lock"
}

run_matching() {
  local column=$1 value=$2 fields
  while IFS=$'\t' read -r -a fields; do
    [ ${#fields[@]} -ge 4 ] && [ "${fields[$column]}" = "$value" ] || continue
    run_program "${fields[0]}" "${fields[2]}" "${fields[@]:3}"
  done <"$share/manifest"
}

run_worker() {
  local number=$1 job
  # Each worker keeps to a processor of its own. A program whose threads ran on both made each
  # change of its memory map wait for the other processor, which a busy build machine had not
  # scheduled: the batch then took an eighth more CPU time.
  taskset -p -c "$number" $BASHPID >/dev/null 2>&1 || true
  start_wine "$number"
  say "worker $number: Wine up after $(($(milliseconds) - started)) ms"
  # (The guest has no /dev/fd, so no process substitution.)
  while job=$(take_job) && [ -n "$job" ]; do
    if [ "${job%%$'\t'*}" = lane ]; then
      run_matching 1 "${job#*$'\t'}"
    else
      run_matching 0 "${job#*$'\t'}"
    fi
  done
  /usr/lib/wine/wineserver32 -k
}

count=$(wc -l <"$jobs")
workers=$(nproc)
[ "$workers" -le "$count" ] || workers=$count
pids=()
for number in $(seq 0 $((workers - 1))); do
  run_worker "$number" &
  pids+=($!)
done
wait "${pids[@]}" # not the displays, which run on
say "batch done after $(($(milliseconds) - started)) ms"
touch "$results/done"
sync
