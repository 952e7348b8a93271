#!/usr/bin/env bash
# The icon of each of Wine's 103 programs and of its 15 MB shell32.dll, one
# process per file as game launchers and file managers run them:
# ovlix-resx icon and ovlix-resx thumbnail side by side with icoextract and
# wrestool -x -t14 (icoutils). The sides take turns, ROUNDS times; the best
# and the median round are compared, beside this machine's floor: starting
# a process per file that does nothing. Then the peak memory of one
# thumbnail, the largest over all the files.
# Given an earlier ovlix-resx as BEFORE (built from an older commit), its
# thumbnails run as a side of their own, and the ratio of this build's to
# them is shown: over the folder, over shell32.dll, over the programs
# whose thumbnail is made and over one program with an icon run 20 times,
# where a process's start-up counts most.
# Wine's files come from Debian's libwine package (downloaded, not installed).
# Usage: bench/icon_extract.sh [BUILD-DIR] [ROUNDS] [BEFORE]
# A smoke run (bench/smoke.sh) downloads nothing: without Wine's files at
# hand it takes a small library of the fuzz corpus, once, and checks that
# ovlix-resx makes its icon and thumbnail.
set -euo pipefail
source "$(dirname "$0")/smoke.sh"
build=$(realpath "${1:-build}")
rounds=${2:-$(sized 5 1)}
resx=$build/ovlix-resx
before=${3:+$(realpath "$3")}
sides=(icon thumbnail)
[ -n "$before" ] && sides+=(before)
peer_at_hand icoextract icoextract && sides+=(icoextract)
peer_at_hand wrestool icoutils && sides+=(wrestool)
sides+=(floor)
timed=false
peer_at_hand /usr/bin/time time && timed=true

wine=$build/bench-data/wine
if $smoke && [ ! -d "$wine" ]; then
  wine=$(realpath "$(dirname "$0")/../fuzz/corpus/resx")
  programs=("$wine/icons.dll")
  large=$wine/icons.dll
  labels=("a library of the fuzz corpus" "the same library")
elif [ ! -d "$wine" ]; then
  mkdir -p "$build/bench-data"
  (cd "$build/bench-data" && apt-get download libwine >/dev/null && dpkg -x libwine_*.deb unpacked && rm libwine_*.deb)
  mkdir -p "$wine"
  cp "$build"/bench-data/unpacked/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/{*.exe,shell32.dll} "$wine"/
  rm -rf "$build/bench-data/unpacked"
fi
[ -v programs ] || mapfile -t programs < <(ls "$wine"/*.exe)
large=${large:-$wine/shell32.dll}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if $smoke; then  # our side must work, not merely run
  "$resx" icon "${programs[0]}" "$out/check.ico" && "$resx" thumbnail -s 128 "${programs[0]}" "$out/check.png"
  rm -f "$out/check.ico" "$out/check.png"
fi

now() { date +%s%N; }
# each side: one process per file; the time of the whole folder in ms
run_side() {  # run_side NAME FILE...
  local name=$1 begin f i=0
  shift
  begin=$(now)
  for f in "$@"; do
    i=$((i + 1))
    case $name in
      icon) "$resx" icon "$f" "$out/$i.ico" 2>/dev/null || true ;;
      thumbnail) "$resx" thumbnail -s 128 "$f" "$out/$i.png" 2>/dev/null || true ;;
      before) "$before" thumbnail -s 128 "$f" "$out/b$i.png" 2>/dev/null || true ;;
      icoextract) icoextract "$f" "$out/$i.ico" 2>/dev/null || true ;;
      wrestool) wrestool -x -t14 -o "$out/w$i" "$f" 2>/dev/null || true ;;
      floor) "$resx" --help >/dev/null ;;  # starting a process and nothing more
    esac
  done
  echo $((($(now) - begin) / 1000))
}

measure() {  # measure LABEL FILE...: best and median per side, in µs
  local label=$1 s r
  shift
  declare -A times=()
  mkdir -p $(seq -f "$out/w%g" "$#")
  for s in "${sides[@]}"; do run_side "$s" "$@" >/dev/null; done  # warm the files
  for r in $(seq "$rounds"); do
    mkdir -p $(seq -f "$out/w%g" "$#")  # wrestool's folders, made before the clock runs
    for s in "${sides[@]}"; do
      times[$s]+="$(run_side "$s" "$@") "
    done
    rm -rf "${out:?}"/*
  done
  printf '\n%s (%d files, %d rounds)\n' "$label" "$#" "$rounds"
  printf '  %-12s %12s %12s\n' "" "best ms" "median ms"
  declare -A best=() median=()
  for s in "${sides[@]}"; do
    best[$s]=$(tr ' ' '\n' <<<"${times[$s]}" | grep . | sort -n | head -n 1)
    median[$s]=$(tr ' ' '\n' <<<"${times[$s]}" | grep . | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    printf '  %-12s %12.1f %12.1f\n' "$s" "$(bc -l <<<"${best[$s]} / 1000")" "$(bc -l <<<"${median[$s]} / 1000")"
  done
  if [ -n "$before" ]; then
    printf '  thumbnail / before: best %.2f, median %.2f %s\n' "$(bc -l <<<"${best[thumbnail]} / ${best[before]}")" \
      "$(bc -l <<<"${median[thumbnail]} / ${median[before]}")" "$ratio_note"
  fi
  # the peers' targets are for the folder and the large library
  $peer_targets && [[ " ${sides[*]} " == *" icoextract "* && " ${sides[*]} " == *" wrestool "* ]] || return 0
  for s in icon thumbnail; do
    printf '  %-12s icoextract / it %6.1f (target >= 30)   wrestool / it %6.1f (target >= 10)\n' "$s" \
      "$(bc -l <<<"${median[icoextract]} / ${median[$s]}")" "$(bc -l <<<"${median[wrestool]} / ${median[$s]}")"
  done
}

[ -v labels ] || labels=("Wine's programs" "shell32.dll, 15 MB")
# The target is for a thumbnail made; a file without an icon makes none.
ratio_note="(no target: mostly files without an icon)" peer_targets=true
$smoke && ratio_note="(target <= 1.2)"
measure "${labels[0]}" "${programs[@]}"
ratio_note="(target <= 1.2)"
measure "${labels[1]}" "$large"
peer_targets=false
if [ -n "$before" ] && ! $smoke; then
  # The thumbnails made: the programs with an icon. Over the whole folder
  # most runs end at "no icon group", where a process's start-up is all
  # there is to time: there the shared libraries and the confinement's fork
  # cost what a static, unconfined binary did not.
  with_icon=()
  for f in "${programs[@]}"; do
    "$before" thumbnail -s 128 "$f" "$out/probe.png" 2>/dev/null && with_icon+=("$f")
  done
  rm -f "$out/probe.png"
  measure "Wine's programs with an icon" "${with_icon[@]}"
  measure "notepad.exe, 20 times" $(printf "$wine/notepad.exe %.0s" $(seq 20))
fi

$timed || exit 0
peak=0
peak_file=""
for f in "${programs[@]}" "$large"; do
  kb=$( (/usr/bin/time -f %M "$resx" thumbnail -s 256 "$f" "$out/peak.png" 2>&1 >/dev/null || true) | tail -n 1)
  if [ "$kb" -gt "$peak" ]; then peak=$kb; peak_file=$f; fi
done
printf '\npeak memory of one thumbnail: %.1f MB (%s)   target < 10 MB\n' "$(bc -l <<<"$peak / 1024")" \
  "$(basename "$peak_file")"
