#!/usr/bin/env bash
# Installs what is missing, builds Ovlix (the program folder: the programs
# and the files beside them, not the tests) and starts it. Without a display it
# starts it in a virtual X server, saves a screenshot of the main window and
# says where.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# the program folder only: the tests and benchmarks need what the test command installs
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVLIX_TESTS=OFF -DOVLIX_BENCH=OFF
ninja -C build ovlix_program_folder

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/ovlix "$@"
fi

shot=$PWD/build/ovlix-screenshot.png
rm -f "$shot"
# the main window's caption names the version project() gives
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
OVLIX_CAPTION="^Ovlix $version Czech version\$" xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1  # a window mapped while the manager starts up is not shown
  build/ovlix "$@" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --name "$OVLIX_CAPTION" 2>/dev/null | head -n 1)
    [ -n "$win" ] && break
    sleep 0.2
  done
  sleep 1
  [ -n "$win" ] && import -window "$win" "'"$shot"'"
  kill $pid $wm
  wait
' _ "$@"
if [ -s "$shot" ]; then
  echo "No display: Ovlix ran in a virtual X server. Screenshot of the main window: $shot"
else
  echo "No display: Ovlix ran in a virtual X server, but its main window did not appear; no screenshot."
  exit 1
fi
