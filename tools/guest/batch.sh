#!/bin/bash
# Runs inside the test guest (its job, started from the share): unpacks the programs at the
# paths they were built at, starts a virtual display and one Wine server for the whole batch,
# then runs each program of the manifest as one Wine process. Each program's output and exit
# status go to the share's results folder; a line per program goes to the console.
set -u
share=/share
results=$share/results
mkdir -p "$results"
say() { echo "guest: $*" >/dev/console; }

# Programs run from the guest's own disk: one started straight from the share crashed with a
# half-loaded image.
tar -C / -xf "$share/payload.tar" || { say "the payload did not unpack"; exit 1; }

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
# console, not in a dialog that nobody closes.
/usr/lib/wine/wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
  >/dev/null 2>&1

while IFS=$'\t' read -r -a fields; do
  [ ${#fields[@]} -ge 3 ] || continue
  name=${fields[0]} limit=${fields[1]} program=${fields[2]}
  started=$(date +%s%N)
  (cd "$(dirname "$program")" &&
   exec timeout -k 5 "$limit" /usr/lib/wine/wine "$program" "${fields[@]:3}") \
    >"$results/$name.out" 2>&1 </dev/null
  status=$?
  elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
  echo "$status" >"$results/$name.status"
  echo "$elapsed" >"$results/$name.ms"
  [ $status -eq 124 ] && echo "guest: no end within $limit s" >>"$results/$name.out"
  say "$name exit $status after $elapsed ms"
done <"$share/manifest"

/usr/lib/wine/wineserver32 -k
touch "$results/done"
sync
