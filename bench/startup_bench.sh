#!/usr/bin/env bash
# How long verse.exe takes to show its window, against the smallest Win32 program that
# shows one (bench/minimal_win32.cpp), all under wine on a virtual display; and, for
# scale, the same smallest program with the common controls of today's Windows
# (minimal_styled_win32.exe), which verse.exe cannot do without.
#
#   bench/startup_bench.sh [BUILD_DIR]   # default build/win32; build verse and both minimal programs first
#
# The programs start in turn, RUNS (5) times each, after one start of each that is not
# counted (wine reads its DLLs from disk the first time). bench/x11_time_window times each
# start from just before `wine` runs until the X server maps the program's window; the
# program is then killed, and gone with its window, before the next one starts. Prints
# each time, the medians and their ratio, and the fastest starts and theirs: on a busy
# machine some starts wait for the processor, and the fastest are the figures that
# depend least on the other load.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd)
runs=${RUNS:-5}
timer="$build/bench/x11_time_window"
if [ ! -x "$timer" ] || [ "$root/bench/x11_time_window.c" -nt "$timer" ]; then
  cc -O2 -o "$timer" "$root/bench/x11_time_window.c" -lX11
fi
# shellcheck source=wine_window.sh
source "$root/bench/wine_window.sh"
bench_wine_setup "$build"

# Starts $1 and prints the milliseconds until its window captioned $2 shows.
time_start() {
  local program=$1 caption=$2 elapsed pid
  read -r elapsed pid < <(cd "$BENCH_FOLDER" && "$timer" "$caption" wine "$program")
  [ -n "$pid" ] || { echo "$0: no window from $program" >&2; return 1; }
  kill -KILL "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.02; done
  bench_wait_window "$caption" no "$pid"
  echo "$elapsed"
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

time_start minimal_win32.exe Minimal >/dev/null
time_start minimal_styled_win32.exe Styled >/dev/null
time_start verse.exe Lumaret >/dev/null
minimal_ms=() styled_ms=() verse_ms=()
for ((i = 1; i <= runs; i++)); do
  minimal_ms+=("$(time_start minimal_win32.exe Minimal)")
  styled_ms+=("$(time_start minimal_styled_win32.exe Styled)")
  verse_ms+=("$(time_start verse.exe Lumaret)")
done
echo "minimal_win32.exe ms:        ${minimal_ms[*]}"
echo "minimal_styled_win32.exe ms: ${styled_ms[*]}"
echo "verse.exe ms:                ${verse_ms[*]}"
ratio() { awk -v v="$2" -v m="$1" 'BEGIN { printf "%.2f", v / m }'; }
fastest() { printf '%s\n' "$@" | sort -n | head -n 1; }
for figure in median fastest; do
  m=$($figure "${minimal_ms[@]}") s=$($figure "${styled_ms[@]}") v=$($figure "${verse_ms[@]}")
  echo "$figure: minimal_win32.exe $m ms, minimal_styled_win32.exe $s ms, verse.exe $v ms;" \
    "ratios: verse.exe $(ratio "$m" "$v"), minimal_styled_win32.exe $(ratio "$m" "$s")," \
    "verse.exe over minimal_styled_win32.exe $(ratio "$s" "$v")"
done
