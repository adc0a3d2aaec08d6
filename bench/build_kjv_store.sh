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
command -v bible >/dev/null || { echo "build_kjv_store.sh: install the bible-kjv package" >&2; exit 1; }
[ -e "$store" ] && { echo "build_kjv_store.sh: $store exists" >&2; exit 1; }

# `bible` labels each verse with its own abbreviation ("1Cor13:4"); the books come in
# canonical order, so the n-th abbreviation met is the n-th name below.
names='Genesis|Exodus|Leviticus|Numbers|Deuteronomy|Joshua|Judges|Ruth|1 Samuel|2 Samuel|1 Kings|2 Kings|1 Chronicles|2 Chronicles|Ezra|Nehemiah|Esther|Job|Psalms|Proverbs|Ecclesiastes|Song of Solomon|Isaiah|Jeremiah|Lamentations|Ezekiel|Daniel|Hosea|Joel|Amos|Obadiah|Jonah|Micah|Nahum|Habakkuk|Zephaniah|Haggai|Zechariah|Malachi|Matthew|Mark|Luke|John|Acts|Romans|1 Corinthians|2 Corinthians|Galatians|Ephesians|Philippians|Colossians|1 Thessalonians|2 Thessalonians|1 Timothy|2 Timothy|Titus|Philemon|Hebrews|James|1 Peter|2 Peter|1 John|2 John|3 John|Jude|Revelation'
bible -f "Gen1:1-Rev22:21" </dev/null | awk -v names="$names" '
  BEGIN { n = split(names, book, "|") }
  {
    match($1, /[0-9]+:[0-9]+$/)
    abbrev = substr($1, 1, RSTART - 1)
    if (abbrev != last) { b++; last = abbrev }
    ref = substr($1, RSTART)
    $1 = ""
    sub(/^ +/, "")
    gsub(/[ \t]+/, " ")
    print book[b] " " ref " " $0
  }
  END { if (b != n) { print "expected " n " books, met " b > "/dev/stderr"; exit 1 } }' >"$work/kjv.txt"
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
