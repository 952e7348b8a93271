#!/usr/bin/env bash
# Emptying a home trash of 10,000 small files and folders: Ovlix beside
# Debian's trash-empty (trash-cli), each on a fresh copy of the same trash,
# median of RUNS runs. Both run as the user "nobody" with a temporary
# XDG_DATA_HOME, so no real trash of this machine is ever touched.
# Usage: bench/trash_empty.sh [BUILD-DIR] [RUNS]
# A smoke run (bench/smoke.sh) empties a trash of a few files once.
set -euo pipefail
source "$(dirname "$0")/smoke.sh"
build=$(realpath "${1:-build}")
runs=${2:-$(sized 5 1)}
last=$(sized 100 2)
if [ "$(id -u)" -ne 0 ]; then
  echo "trash_empty: runs as root only, to empty the trashes of the user nobody"
  $smoke && exit 77  # a skip
  exit 1
fi
peer=false
peer_at_hand trash-empty trash-cli && peer=true
nobody=65534
while read -r _ point _; do
  if [ -e "$point/.Trash-$nobody" ] || [ -e "$point/.Trash/$nobody" ]; then
    echo "refusing: $point holds a trash of uid $nobody"; exit 1
  fi
done </proc/self/mounts

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
model=$tmp/model/Trash
mkdir -p "$model/files" "$model/info"
for d in $(seq -f %03g 1 "$last"); do
  mkdir "$model/files/d$d" && touch "$model/files/d$d"/f{01..99}
  printf '[Trash Info]\nPath=/home/u/d%03d\nDeletionDate=2026-12-01T10:00:00\n' "$((10#$d))" >"$model/info/d$d.trashinfo"
done
chown -R "$nobody:$nobody" "$tmp"

as_nobody() { setpriv --reuid=$nobody --regid=$nobody --clear-groups env HOME="$tmp" XDG_DATA_HOME="$tmp/data" "$@"; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
one_run() {  # one_run COMMAND... -> milliseconds
  rm -rf "$tmp/data" && cp -a "$tmp/model" "$tmp/data"
  local begin end
  begin=$(date +%s%N)
  as_nobody "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  [ -z "$(ls -A "$tmp/data/Trash/files")" ] || { echo "not emptied by $*" >&2; exit 1; }
  echo $(((end - begin) / 1000000))
}

ovlix=$(for _ in $(seq "$runs"); do one_run "$build/bench/trash_bench"; done | median)
printf 'emptying a trash of %d files and folders, median of %d runs\n' "$((last * 100))" "$runs"
printf '  %-14s %6d ms\n' ovlix "$ovlix"
if $peer; then
  theirs=$(for _ in $(seq "$runs"); do one_run trash-empty; done | median)
  printf '  %-14s %6d ms\n  ratio (ovlix / trash-empty) %.2f   target: <= 1.00\n' \
    trash-empty "$theirs" "$(echo "$ovlix / $theirs" | bc -l)"
fi
