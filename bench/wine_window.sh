# Sourced by the Windows benchmarks (bench/startup_bench.sh, bench/idle_bench.sh): a fresh
# wine prefix on a virtual display of their own, verse.exe beside a copy of the shipped
# store in a folder of its own, and waiting for a window.
#
# As in the tests, on wine's virtual desktop. Each top-level window of a program is an X
# window inside the desktop's, mapped when the program shows it: xdotool sees it appear
# and disappear. Wine's explorer, which draws the desktop, ends a second after the last
# program on it, and the next program would wait for a new one (the shell is always there
# on Windows): a wine command prompt waiting for input keeps it for the whole run.

# shellcheck source=../scripts/wine-env
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/wine-env"

# Sets up everything for the build folder $1 and exports BENCH_FOLDER, which holds
# verse.exe, verse97.mdb and both minimal programs. Everything is torn down on exit.
bench_wine_setup() {
  local build=$1 store file
  store=$(sed -n 's/^LUMARET_VERSE_STORE:FILEPATH=//p' "$build/CMakeCache.txt")
  for file in "$build/src/win32/reminder/verse.exe" "$build/bench/minimal_win32.exe" \
    "$build/bench/minimal_styled_win32.exe" "$store"; do
    [ -f "$file" ] || { echo "$0: $file is missing; build verse and the minimal programs first" >&2; exit 1; }
  done
  BENCH_FOLDER=$(mktemp -d)
  cp "$build/src/win32/reminder/verse.exe" "$build/bench/minimal_win32.exe" \
    "$build/bench/minimal_styled_win32.exe" "$store" "$BENCH_FOLDER/"
  wine_env_init "$build/wineprefix-bench"
  trap 'wine_env_stop; rm -rf "$BENCH_FOLDER"' EXIT
  unset DISPLAY
  wine_env_start_xvfb
  wine_env_boot --desktop
  mkfifo "$BENCH_FOLDER/hold"
  (wine cmd <"$BENCH_FOLDER/hold" >/dev/null 2>&1 &)
  exec 9>"$BENCH_FOLDER/hold"
}

bench_now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Waits until a window captioned $1 is visible ($2 = yes) or not ($2 = no), for at most
# 30 s; waiting for it to show, fails as soon as the process $3 has ended.
bench_wait_window() {
  local caption=$1 visible=$2 pid=$3 start shown
  start=$(bench_now_ms)
  while true; do
    shown=no
    if xdotool search --onlyvisible --name "^$caption\$" >/dev/null 2>&1; then shown=yes; fi
    [ "$shown" = "$visible" ] && return 0
    if [ "$visible" = yes ] && ! kill -0 "$pid" 2>/dev/null; then
      echo "$0: the program ended before '$caption' showed" >&2
      return 1
    fi
    if (($(bench_now_ms) - start > 30000)); then
      echo "$0: after 30 s '$caption' is still not visible: $visible" >&2
      return 1
    fi
  done
}
