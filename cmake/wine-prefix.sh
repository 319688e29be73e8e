#!/usr/bin/env bash
# Makes a Wine prefix at the given path, unless one is there. A prefix made from nothing takes
# wineboot most of a quarter of a minute and 700 MB; this machine's first one is kept as a
# template in the user's cache (one per Wine version), and later prefixes are copies of it.
# Usage: wine-prefix.sh <prefix>
set -euo pipefail
prefix=$1
[ -e "$prefix/system.reg" ] && exit 0

wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver
cache=${XDG_CACHE_HOME:-$HOME/.cache}/update-wine
key=$("$wine" --version 2>/dev/null | sha256sum | cut -c1-16)
template=$cache/$key
if [ ! -e "$template/system.reg" ]; then
  mkdir -p "$cache"
  chmod 700 "$cache"
  fresh=$(mktemp -d "$cache/new.XXXXXX")
  (
    export WINEPREFIX=$fresh WINEDEBUG=-all
    "$server" -p
    "$wine" wineboot --init >/dev/null 2>&1 || true
    "$server" -k || true
    "$server" -w || true
  )
  # Whoever comes first keeps theirs; the rename either moves a whole prefix in or fails.
  if ! mv -T "$fresh" "$template" 2>/dev/null; then rm -rf "$fresh"; fi
fi
mkdir -p "$(dirname "$prefix")"
partial=$(mktemp -d "$prefix.XXXXXX")
cp -a "$template/." "$partial/"
rm -rf "$prefix"
mv -T "$partial" "$prefix"
