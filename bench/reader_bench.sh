#!/usr/bin/env bash
# Builds reader_bench and versedb in an optimised build and runs the comparison with
# mdb-export and mdb-reader on the whole-KJV store (made once, kept in the build folder).
#
#   bench/reader_bench.sh [BUILD_DIR]      (default build/native)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target reader_bench versedb verse_store >/dev/null
cache=$build/bench
mkdir -p "$cache"
[ -s "$cache/kjv.txt" ] || "$root/bench/kjv_text.sh" >"$cache/kjv.txt"
exec "$build/bench/reader_bench" "$cache/kjv.txt" "$cache" "$build/data/verse97.mdb" "$build/tools/versedb" \
  "$root/tests/oracle"
