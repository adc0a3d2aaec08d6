#!/usr/bin/env bash
# Prints the whole King James Bible (31,102 verses, from Debian's bible-kjv package) as
# 'Book C:V text' lines, the form `versedb import` reads.
set -euo pipefail
command -v bible >/dev/null || { echo "kjv_text.sh: install the bible-kjv package" >&2; exit 1; }

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
  END { if (b != n) { print "expected " n " books, met " b > "/dev/stderr"; exit 1 } }'
