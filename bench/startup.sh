#!/usr/bin/env bash
# Start-up time (process start to main window mapped) and resident memory
# of the idle program, side by side with a bare Qt window of the same size,
# under a virtual X server with a session bus of its own, as on a desktop.
# Each side runs RUNS times, in turns; medians are compared. The program
# installed from the build folder starts once more, beside them.
# Usage: bench/startup.sh [BUILD-DIR] [RUNS]
# A smoke run (bench/smoke.sh) starts each side once.
set -euo pipefail
source "$(dirname "$0")/smoke.sh"
build=$(realpath "${1:-build}")
runs=${2:-$(sized 7 1)}
idle_ms=$(sized 1500 100)
caption="Ovlix $(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt") Czech version"
[ -z "${BENCH_INSIDE_XVFB:-}" ] && exec env BENCH_INSIDE_XVFB=1 dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$runs"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

measure() {  # measure NAME PROGRAM -> a line "ms kb"
  rm -rf "$tmp/config"
  XDG_CONFIG_HOME=$tmp/config XDG_RUNTIME_DIR=$tmp "$build/bench/map_watch" "$1" "$idle_ms" "$2"
}

# the two sides take turns, so that the machine's drift weighs on both alike
for _ in $(seq "$runs"); do
  measure "$caption" "$build/ovlix" >>"$tmp/ovlix"
  measure "Bare Qt window" "$build/bench/bare_window" >>"$tmp/bare"
done

# the installed program, once: started through its link in bin/
DESTDIR=$tmp/installed cmake --install "$build" --prefix /usr >/dev/null
measure "$caption" "$tmp/installed/usr/bin/ovlix" >"$tmp/installed.txt"

ovlix_ms=$(cut -d' ' -f1 "$tmp/ovlix" | median); bare_ms=$(cut -d' ' -f1 "$tmp/bare" | median)
ovlix_kb=$(cut -d' ' -f2 "$tmp/ovlix" | median); bare_kb=$(cut -d' ' -f2 "$tmp/bare" | median)
printf '%-28s %12s %12s %8s %8s\n' "median of $runs runs" "ovlix" "bare Qt" "ratio" "target"
printf '%-28s %10s ms %10s ms %8.2f %8s\n' "start to window shown" "$ovlix_ms" "$bare_ms" \
  "$(echo "$ovlix_ms / $bare_ms" | bc -l)" "<= 1.5"
printf '%-28s %10.1f MB %10.1f MB %8.2f %8s\n' "resident memory, idle" \
  "$(echo "$ovlix_kb / 1024" | bc -l)" "$(echo "$bare_kb / 1024" | bc -l)" \
  "$(echo "$ovlix_kb / $bare_kb" | bc -l)" "<= 1.6"
printf '%-28s %10s ms %12s %8.2f\n' "installed, started once" "$(cut -d' ' -f1 "$tmp/installed.txt")" \
  "(build's)" "$(echo "$(cut -d' ' -f1 "$tmp/installed.txt") / $ovlix_ms" | bc -l)"
