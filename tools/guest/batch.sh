#!/bin/bash
# Runs inside the test guest (its job, started from the share): unpacks the programs at the
# paths they were built at, starts a virtual display and one Wine server for the whole batch,
# then runs each program of the manifest as one Wine process. The manifest's lanes run side by
# side (the guest has two processors), the programs of one lane one after another. Each
# program's output and exit status go to the share's results folder; a line per program goes
# to the console.
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

export WINEDEBUG=-all WINEPREFIX=/root/.wine DISPLAY=:7
Xvfb :7 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
for _ in $(seq 200); do
  [ -e /tmp/.X11-unix/X7 ] && break
  sleep 0.05
done
# One server for the batch: a server that exits whenever its last program ends races with the
# next program starting.
/usr/lib/wine/wineserver32 -p
# A program that crashes gets Wine's debugger, which prints the crash and its call stack: on the
# console, not in a dialog that nobody closes. This first program also starts Wine's own
# services, before the lanes' programs race to.
/usr/lib/wine/wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
  >/dev/null 2>&1
say "Wine up after $(($(milliseconds) - started)) ms"

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

run_lane() {
  local lane=$1 fields
  while IFS=$'\t' read -r -a fields; do
    [ ${#fields[@]} -ge 4 ] && [ "${fields[1]}" = "$lane" ] || continue
    run_program "${fields[0]}" "${fields[2]}" "${fields[@]:3}"
  done <"$share/manifest"
}

for lane in $(cut -f2 "$share/manifest" | sort -u); do
  run_lane "$lane" &
done
wait
say "batch done after $(($(milliseconds) - started)) ms"

/usr/lib/wine/wineserver32 -k
touch "$results/done"
sync
