#!/usr/bin/env bash
# How long verse.exe takes to show its window, against the smallest Win32 program that
# shows one (bench/minimal_win32.cpp), both under wine on a virtual display.
#
#   bench/startup_bench.sh [BUILD_DIR]   # default build/win32; build verse and minimal_win32 first
#
# The two programs start in turn, RUNS times each after one start of each that is not
# counted (wine loads its DLLs from disk the first time). A start is timed from just before
# `wine` runs until the program's top-level window is mapped on the X server, polled with
# xdotool; the program is then killed and gone before the next one starts. Without wine's
# virtual desktop every top-level window is an X window of its own, which is what makes it
# visible to xdotool. Prints each time, the medians and their ratio.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd)
runs=${RUNS:-5}
# shellcheck source=../scripts/wine-env
source "$root/scripts/wine-env"

store=$(sed -n 's/^LUMARET_VERSE_STORE:FILEPATH=//p' "$build/CMakeCache.txt")
minimal="$build/bench/minimal_win32.exe"
verse="$build/src/win32/reminder/verse.exe"
for file in "$minimal" "$verse" "$store"; do
  [ -f "$file" ] || { echo "startup_bench: $file is missing" >&2; exit 1; }
done

# verse.exe beside a copy of the shipped store, in a folder of its own.
folder=$(mktemp -d)
cp "$verse" "$store" "$minimal" "$folder/"
wine_env_init "$build/wineprefix-bench"
trap 'wine_env_stop; rm -rf "$folder"' EXIT
unset DISPLAY
wine_env_start_xvfb
wine_env_boot

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Starts $1 and prints the milliseconds until a visible window captioned $2 appears.
time_start() {
  local program=$1 caption=$2 start pid elapsed
  start=$(now_ms)
  (cd "$folder" && exec wine "$program" </dev/null >/dev/null 2>&1) &
  pid=$!
  until xdotool search --onlyvisible --name "^$caption\$" >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "startup_bench: $program ended before its window showed" >&2
      exit 1
    fi
    if (($(now_ms) - start > 30000)); then
      echo "startup_bench: no window from $program within 30 s" >&2
      exit 1
    fi
  done
  elapsed=$(($(now_ms) - start))
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null || true
  # The next start must find none of ours: neither the process nor its window.
  while xdotool search --onlyvisible --name "^$caption\$" >/dev/null 2>&1; do sleep 0.05; done
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
