#!/bin/sh
# Runs a 64-bit Windows program under wine64 and ends when the program ends. A program that
# needs the prefix's desktop or services starts them, and they inherit its standard output and
# error; the desktop stays until no program of the prefix runs. Whoever reads those pipes (ctest)
# would wait for it, so the program writes into files that are passed on once it has ended.
out=$(mktemp) && err=$(mktemp) || exit 1
trap 'rm -f "$out" "$err"' EXIT
/usr/lib/wine/wine64 "$@" >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
exit $status
