#!/usr/bin/env bash
# One complete upload dialogue with a 100 KB report against the test tracker on loopback,
# side by side with curl sending the same eleven requests (one connection each).
# Usage: bench/upload_bench.sh BUILD_DIR [REPEAT]
set -euo pipefail
build=${1:?usage: bench/upload_bench.sh BUILD_DIR [REPEAT]}
build=$(cd "$build" && pwd)  # the script works in a folder of its own
repeat=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/upload-bench.XXXXXX)
trap 'touch "$work/tracker/stop"; rm -rf "$work"' EXIT

python3 "$here/../tests/reporter/delivery/tracker/fake_tracker.py" "$work/tracker" &
for _ in $(seq 200); do [ -f "$work/tracker/port" ] && break; sleep 0.05; done
port=$(cat "$work/tracker/port")
head -c 102400 /dev/urandom > "$work/bugreport.txt"
# Warm-up, so that neither side pays for the first start of its libraries.
"$build/bin/upload_bench" "$port" "$work/bugreport.txt" 1 > /dev/null

start=$(date +%s%N)
"$build/bin/upload_bench" "$port" "$work/bugreport.txt" "$repeat"
ours=$(( ($(date +%s%N) - start) / repeat ))

url="https://127.0.0.1:$port/fb"
q="token=tok-1"
start=$(date +%s%N)
for _ in $(seq "$repeat"); do
  curl -sk -o /dev/null "$url/api.xml"
  curl -sk -o /dev/null "$url/api.asp?cmd=logon&email=reports%40example%2Ecom&password=p%40ss%20word%2E"
  for cmd in listProjects listAreas listCategories listPriorities listPeople logoff; do
    curl -sk -o /dev/null "$url/api.asp?cmd=$cmd&fWrite=1&$q"
  done
  curl -sk -o /dev/null "$url/api.asp?cmd=logon&email=reports%40example%2Ecom&password=p%40ss%20word%2E"
  curl -sk -o /dev/null -F cmd=new -F token=tok-1 -F sTitle=bench -F "File1=@$work/bugreport.txt" "$url/api.asp"
  curl -sk -o /dev/null "$url/api.asp?cmd=logoff&$q"
done
theirs=$(( ($(date +%s%N) - start) / repeat ))

awk -v a="$ours" -v b="$theirs" 'BEGIN {
  printf "upload dialogue: %.1f ms; curl loop: %.1f ms; ratio (ours/curl): %.2f\n", a/1e6, b/1e6, a/b }'
