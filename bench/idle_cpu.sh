#!/usr/bin/env bash
# CPU the idle program uses with its main window shown and the uptime line
# running, over SECONDS seconds, beside a bare Qt window, under a virtual X
# server. Target: under 0.5 % of one core.
# Usage: bench/idle_cpu.sh [BUILD-DIR] [SECONDS]
# A smoke run (bench/smoke.sh) watches each side for a second.
set -euo pipefail
source "$(dirname "$0")/smoke.sh"
build=$(realpath "${1:-build}")
seconds=${2:-$(sized 30 1)}
settle=$(sized 3 1)
[ -z "${BENCH_INSIDE_XVFB:-}" ] && exec env BENCH_INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$seconds"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
measure() {  # measure PROGRAM -> percent of one core
  XDG_CONFIG_HOME=$tmp/config XDG_RUNTIME_DIR=$tmp "$1" >/dev/null 2>&1 &
  local pid=$! before after hz
  sleep "$settle"
  hz=$(getconf CLK_TCK)
  before=$(ticks "$pid")
  sleep "$seconds"
  after=$(ticks "$pid") || { echo "$1 ended before it was measured" >&2; exit 1; }
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "($after - $before) * 100 / $hz / $seconds" | bc -l
}
ovlix=$(measure "$build/ovlix")
bare=$(measure "$build/bench/bare_window")
printf 'CPU of the idle program over %d s (percent of one core)\n' "$seconds"
printf '  %-12s %6.2f %%   target: < 0.5 %%\n  %-12s %6.2f %%\n' ovlix "$ovlix" "bare Qt" "$bare"
