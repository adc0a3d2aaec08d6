#!/usr/bin/env bash
# Benchmark: builds a verse store holding the whole King James Bible (31,102 verses,
# from Debian's bible-kjv package) with `versedb create` + `versedb import`, checks it,
# and prints the times.
#
#   bench/build_kjv_store.sh [VERSEDB] [OUTPUT.mdb]
#
# VERSEDB defaults to build/native/tools/versedb, OUTPUT to a temporary file.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
versedb=${1:-$root/build/native/tools/versedb}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
store=${2:-$work/kjv.mdb}
[ -x "$versedb" ] || { echo "build_kjv_store.sh: no versedb at $versedb" >&2; exit 1; }
[ -e "$store" ] && { echo "build_kjv_store.sh: $store exists" >&2; exit 1; }

"$root/bench/kjv_text.sh" >"$work/kjv.txt"
verses=$(wc -l <"$work/kjv.txt")
echo "verses: $verses"

now() { date +%s.%N; }
t0=$(now)
"$versedb" create "$store"
"$versedb" import "$store" versetbl <"$work/kjv.txt" >/dev/null
t1=$(now)
"$versedb" check "$store" >/dev/null
t2=$(now)
"$versedb" list "$store" >"$work/listed.txt"
t3=$(now)
cmp -s "$work/kjv.txt" "$work/listed.txt" || { echo "build_kjv_store.sh: the store does not list the verses imported" >&2; exit 1; }
awk -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" -v n="$verses" -v size="$(stat -c %s "$store")" 'BEGIN {
  printf "create + import: %.2f s (%.3f ms per verse)\n", b - a, (b - a) * 1000 / n
  printf "check:           %.2f s\n", c - b
  printf "list (all rows): %.2f s\n", d - c
  printf "store size:      %d bytes (%d pages)\n", size, size / 2048
}'
