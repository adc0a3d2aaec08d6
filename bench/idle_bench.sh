#!/usr/bin/env bash
# What verse.exe costs while it waits in the notification area: it is started under wine,
# shown, hidden with Amen (Esc, from the keyboard), and then left alone for SECONDS (60).
#
#   bench/idle_bench.sh [BUILD_DIR]   # default build/win32; build verse and the minimal programs first
#
# Prints the processor time (user + system, from /proc) of verse.exe's process and of the
# prefix's wineserver over that time, as seconds per hour, and verse.exe's memory (VmRSS
# now, VmHWM its peak). The wineserver serves every wine process of the prefix (explorer
# with the notification area, services...), so it is measured over the same time before
# verse.exe starts too: the difference is verse.exe's share.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${SECONDS_IDLE:-60}
# shellcheck source=wine_window.sh
source "$root/bench/wine_window.sh"
bench_wine_setup "$(cd "${1:-$root/build/win32}" && pwd)"

ticks_per_second=$(getconf CLK_TCK)
# utime + stime of process $1, in clock ticks (fields 14 and 15 of /proc/PID/stat, counted
# after the command name, which may hold spaces).
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
# Seconds per hour from a difference of clock ticks over $seconds.
per_hour() {
  awk -v t="$1" -v hz="$ticks_per_second" -v s="$seconds" 'BEGIN { printf "%.2f", t / hz * 3600 / s }'
}

# The prefix's wineserver: the one whose current folder is named after the prefix's device
# and inode.
server_dir=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
server=
for pid in $(pgrep -x wineserver32 || pgrep -x wineserver); do
  case $(readlink "/proc/$pid/cwd") in */"$server_dir") server=$pid ;; esac
done
[ -n "$server" ] || { echo "$0: no wineserver for $WINEPREFIX" >&2; exit 1; }

before=$(cpu_ticks "$server")
sleep "$seconds"
server_alone=$(($(cpu_ticks "$server") - before))

(cd "$BENCH_FOLDER" && exec wine verse.exe </dev/null >/dev/null 2>&1) &
verse=$!
bench_wait_window Lumaret yes "$verse"
# xdotool's complaint that the bare X server has no focus window is no error here.
xdotool key --window "$(xdotool search --onlyvisible --name '^Lumaret$' | head -n 1)" Escape 2>/dev/null
bench_wait_window Lumaret no "$verse"
kill -0 "$verse" || { echo "$0: verse.exe ended instead of hiding" >&2; exit 1; }

verse_before=$(cpu_ticks "$verse")
before=$(cpu_ticks "$server")
sleep "$seconds"
verse_idle=$(($(cpu_ticks "$verse") - verse_before))
server_with=$(($(cpu_ticks "$server") - before))

echo "idle for ${seconds} s, hidden in the notification area:"
echo "verse.exe:  $(per_hour "$verse_idle") CPU s per hour (one clock tick in this time is $(per_hour 1))"
echo "wineserver: $(per_hour "$server_with") CPU s per hour with verse.exe," \
  "$(per_hour "$server_alone") without"
awk '/^VmRSS:/ { rss = $2 } /^VmHWM:/ { hwm = $2 }
     END { printf "verse.exe: VmRSS %d kB, VmHWM %d kB\n", rss, hwm }' "/proc/$verse/status"
