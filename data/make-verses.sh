#!/usr/bin/env bash
# Builds verses.txt, the verses shipped in verse97.mdb, from references.txt with the
# King James text of Debian's bible-kjv package (the `bible` command):
#
#   data/make-verses.sh > data/verses.txt
#
# Each reference ("Book C:V" or "Book C:V-W") becomes one line "Book C:V text": the
# verses of a range are joined with a space, the package's verse labels are dropped
# and runs of white space become one space. The KJV spelling is kept as it is. The
# script fails when `bible` returns other verses than the ones asked for, because it
# quietly moves a reference that lies past a chapter's end.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
refs=${1:-$here/references.txt}
command -v bible >/dev/null || { echo "make-verses.sh: install the bible-kjv package" >&2; exit 1; }

line=0
while IFS= read -r ref || [ -n "$ref" ]; do
  line=$((line + 1))
  ref=$(printf '%s' "$ref" | sed -E 's/^[[:space:]]+|[[:space:]]+$//g')
  [ -z "$ref" ] && continue
  case $ref in '#'*) continue ;; esac
  if [[ ! $ref =~ ^(.+)\ ([0-9]+):([0-9]+)(-([0-9]+))?$ ]]; then
    echo "make-verses.sh: $refs line $line: '$ref' is not 'Book C:V' or 'Book C:V-W'" >&2
    exit 1
  fi
  book=${BASH_REMATCH[1]} chapter=${BASH_REMATCH[2]} first=${BASH_REMATCH[3]} last=${BASH_REMATCH[5]:-${BASH_REMATCH[3]}}
  # bible takes references without spaces ("1Corinthians13:4-7"); a space separates references.
  query="${book// /}$chapter:$first"
  [ "$last" != "$first" ] && query="$query-$last"
  out=$(bible -f "$query" </dev/null)
  # Every output line is "<abbreviation><chapter>:<verse> <text>".
  text=$(printf '%s\n' "$out" | awk -v c="$chapter" -v f="$first" -v l="$last" -v ref="$ref" '
    {
      if (!match($1, /[0-9]+:[0-9]+$/)) { bad = "an unlabelled line"; exit }
      split(substr($1, RSTART), cv, ":")
      want = f + n
      if (cv[1] != c || cv[2] != want) { bad = "verse " cv[1] ":" cv[2] " for " c ":" want; exit }
      $1 = ""
      sub(/^ +/, "")
      text = text (n ? " " : "") $0
      n++
    }
    END {
      if (bad == "" && n != l - f + 1) bad = n " verses for " (l - f + 1)
      if (bad != "") { print "make-verses.sh: " ref ": bible returned " bad > "/dev/stderr"; exit 1 }
      gsub(/[ \t]+/, " ", text)
      print text
    }')
  printf '%s %s:%s %s\n' "$book" "$chapter" "$first${BASH_REMATCH[4]}" "$text"
done <"$refs"
