#!/usr/bin/env bash
# How long verse.exe takes to show its window, against the smallest Win32 program that
# shows one (bench/minimal_win32.cpp), both under wine on a virtual display.
#
#   bench/startup_bench.sh [BUILD_DIR]   # default build/win32; build verse and minimal_win32 first
#
# The two programs start in turn, RUNS (5) times each, after one start of each that is not
# counted (wine reads its DLLs from disk the first time). A start is timed from just before
# `wine` runs until the program's top-level window is mapped on the X server; the program
# is then killed, and its window gone, before the next one starts. Prints each time, the
# medians and their ratio.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-5}
# shellcheck source=wine_window.sh
source "$root/bench/wine_window.sh"
bench_wine_setup "$(cd "${1:-$root/build/win32}" && pwd)"

# Starts $1 and prints the milliseconds until its window captioned $2 shows.
time_start() {
  local program=$1 caption=$2 start pid elapsed
  start=$(bench_now_ms)
  (cd "$BENCH_FOLDER" && exec wine "$program" </dev/null >/dev/null 2>&1) &
  pid=$!
  bench_wait_window "$caption" yes "$pid"
  elapsed=$(($(bench_now_ms) - start))
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null || true
  bench_wait_window "$caption" no "$pid"
  echo "$elapsed"
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

time_start minimal_win32.exe Minimal >/dev/null
time_start verse.exe Lumaret >/dev/null
minimal_ms=() verse_ms=()
for ((i = 1; i <= runs; i++)); do
  minimal_ms+=("$(time_start minimal_win32.exe Minimal)")
  verse_ms+=("$(time_start verse.exe Lumaret)")
done
echo "minimal_win32.exe ms: ${minimal_ms[*]}"
echo "verse.exe ms:         ${verse_ms[*]}"
m=$(median "${minimal_ms[@]}")
v=$(median "${verse_ms[@]}")
echo "median: minimal_win32.exe $m ms, verse.exe $v ms, ratio $(awk -v v="$v" -v m="$m" 'BEGIN { printf "%.2f", v / m }')"
