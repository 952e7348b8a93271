#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with the prefix /usr, checks
# the installed tree as a distribution would, then starts the installed
# program under a virtual X server (run through xvfb-run) from an unrelated
# folder, with its program folder read-only, and drives it from outside.
# Usage: install_test.sh BUILD-DIR VERSION
set -u
build=$(realpath "$1")
version=$2
source "$(dirname "$0")/checks.sh"

tmp=$(mktemp -d /tmp/ovlix-install-XXXXXX)
dest=$tmp/root
usr=$dest/usr
programdir=$usr/lib/ovlix
export XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data XDG_RUNTIME_DIR=$tmp/run
unset XDG_CURRENT_DESKTOP  # no desktop's settings tools are run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
pids=()
cleanup() {
  if [ -n "${program_session:-}" ] && [ "$(ps -o sid= -p "$program_session" | tr -d ' ')" = "$program_session" ]; then
    kill -9 -- "-$program_session"
  fi
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  chmod -R u+w "$tmp" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

# 1. The installed tree.
install_runs() { DESTDIR=$dest cmake --install "$build" --prefix /usr >"$tmp/install.log" 2>&1; }
check "cmake --install into a DESTDIR" install_runs
# every file and link recorded alike, by its place in the installed system
# (DESTDIR is a staging folder, not part of it)
manifest_complete() {
  local manifest=$build/install_manifest.txt f
  grep -qx "/usr/bin/ovlix" "$manifest" && grep -qx "/usr/lib/ovlix/skins" "$manifest" &&
    grep -qx "/usr/lib/ovlix/data/kspass.vbs" "$manifest" || return 1
  while IFS= read -r f; do
    [[ $f == /usr/* ]] && { [ -e "$dest$f" ] || [ -L "$dest$f" ]; } || { echo "     $f"; return 1; }
  done <"$manifest"
  [ "$(sort -u "$manifest" | wc -l)" -eq "$(find "$usr" ! -type d | wc -l)" ]
}
check "the install manifest records every file and link the same way" manifest_complete

linked_programs() {
  local p
  for p in ovlix ovlix-resx ovlix-folderlock; do
    [ -L "$usr/bin/$p" ] && [ "$(readlink "$usr/bin/$p")" = "../lib/ovlix/$p" ] && [ -x "$programdir/$p" ] || return 1
  done
}
check "the programs lie in lib/ovlix, linked from bin" linked_programs

shipped_files() {
  local shared=$usr/share/ovlix f
  [ -f "$shared/readme.htm" ] && [ -f "$shared/skins/Klasik/Options.dat" ] && [ -f "$shared/skins/Noc/Options.dat" ] &&
    [ -x "$shared/data/kspass.vbs" ] && [ "$(find "$shared/data/tipy" -name '*.dat' | wc -l)" -eq 10 ] || return 1
  # the program folder reaches them by relative links, as beside itself
  for f in readme.htm skins data/tipy data/kspass.vbs; do
    [ -L "$programdir/$f" ] && [[ $(readlink "$programdir/$f") == ../* ]] &&
      [ "$(readlink -f "$programdir/$f")" = "$(readlink -f "$shared/$f")" ] || { echo "     $f"; return 1; }
  done
  [ -f "$programdir/skins/Noc/Options.dat" ] && [ -f "$programdir/INSTALLED" ] && [ ! -L "$programdir/data" ] &&
    [ -z "$(find "$programdir" -type f ! -name 'ovlix*' ! -name INSTALLED)" ]
}
check "the help page, skins, tips and the folder-lock script lie in share/ovlix, reached from the program folder" \
  shipped_files
# the script finds the lock tool one level up from where it is started
folder_lock_script_runs() {
  [ "$(XDG_CONFIG_HOME=$tmp/lockconfig "$programdir/data/kspass.vbs" list; echo "status $?")" = "status 0" ]
}
check "the folder-lock script starts the lock tool" folder_lock_script_runs
gnu_options() {
  local answer
  for p in ovlix ovlix-folderlock; do
    answer=$(DISPLAY= WAYLAND_DISPLAY= PATH=$usr/bin:$PATH timeout 5 $p --version) &&
      [ "$(head -n 1 <<<"$answer")" = "$p (Ovlix) $version" ] || return 1
  done
}
check "the installed programs answer --version without a display" gnu_options
check "the help page names the program's version" grep -q "<h1>Ovlix $version</h1>" "$programdir/readme.htm"

desktop_entry_valid() {
  local entry=$usr/share/applications/org.ovlix.Ovlix.desktop out
  out=$(desktop-file-validate "$entry" 2>&1) || { echo "$out"; return 1; }
  ! grep -E 'error|warning' <<<"$out" &&
    grep -qx 'Name=Ovlix' "$entry" && grep -qx 'Categories=Utility;FileTools;' "$entry" &&
    grep -qx 'StartupWMClass=Ovlix' "$entry" &&
    grep -qx 'Icon=org.ovlix.Ovlix' "$entry" && grep -q '^Comment=.*[áčěíšřůýž]' "$entry"
}
check "the desktop entry validates" desktop_entry_valid

metadata_valid() {
  local meta=$usr/share/metainfo/org.ovlix.Ovlix.metainfo.xml
  appstreamcli validate --no-net "$meta" >"$tmp/appstream.log" 2>&1 || { cat "$tmp/appstream.log"; return 1; }
  grep -q '<summary xml:lang="cs">' "$meta" && grep -q '<binary>ovlix-resx</binary>' "$meta" &&
    grep -q "<release version=\"$version\" date=\"[0-9-]*\">" "$meta" &&
    grep -q '<project_license>GPL-3.0-or-later</project_license>' "$meta"
}
check "the AppStream metadata validates" metadata_valid

icons_present() {
  local size
  for size in 16 24 32 48 64 128 256; do
    [ "$(identify -format '%wx%h' "$usr/share/icons/hicolor/${size}x${size}/apps/org.ovlix.Ovlix.png")" = "${size}x${size}" ] ||
      return 1
  done
  # the scalable icon is the picture the program draws
  local svg=$usr/share/icons/hicolor/scalable/apps/org.ovlix.Ovlix.svg error
  rsvg-convert -w 256 -h 256 "$svg" -o "$tmp/svg.png" || return 1
  error=$(compare -metric RMSE "$tmp/svg.png" "$usr/share/icons/hicolor/256x256/apps/org.ovlix.Ovlix.png" null: 2>&1 |
    sed 's/.*(\(.*\))/\1/')
  echo "     scalable icon against the drawn one: RMSE $error"
  [ "$(echo "$error < 0.02" | bc -l)" -eq 1 ]
}
check "the icon in every size and as SVG" icons_present

manual_pages_render() {
  local page out
  for page in ovlix ovlix-resx ovlix-folderlock; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >"$tmp/$page.txt") || return 1
    [ -z "$out" ] || { echo "$out"; return 1; }
    grep -q "^NAME" "$tmp/$page.txt" && grep -q "$page" "$tmp/$page.txt" || return 1
  done
}
check "the manual pages render without warnings" manual_pages_render

thumbnailer_installed() {
  local entry=$usr/share/thumbnailers/ovlix-resx.thumbnailer
  grep -qx 'Exec=ovlix-resx thumbnail -s %s %i %o' "$entry" &&
    grep -q '^MimeType=.*application/x-ms-dos-executable;' "$entry" &&
    grep -q '^MimeType=.*application/vnd.microsoft.portable-executable;' "$entry" || return 1
  PATH=$usr/bin:$PATH ovlix-resx thumbnail -s 64 "$build/tests/toolchain32.dll" "$tmp/none.png" 2>/dev/null
  [ $? -eq 1 ] && [ ! -e "$tmp/none.png" ]  # a library without an icon: no thumbnail
}
check "the thumbnailer is installed for Windows programs and libraries" thumbnailer_installed

# The thumbnailer confines itself once its input is open and its output
# made, before it reads a byte of the input: the confined process opens
# nothing more, nothing reads the input before the confinement, and the
# thumbnail is there.
thumbnailer_confined() {
  local trace=$tmp/thumbnail.strace input pid fd
  input=$(realpath "$(dirname "$0")/../../fuzz/corpus/resx/icons.dll")
  mkdir -p "$tmp/thumbnail"
  # a sanitizer build's leak checker cannot work under strace
  ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
    strace -f -qq -e trace=openat,open,creat,landlock_restrict_self,read,pread64,mmap -o "$trace" \
    "$programdir/ovlix-resx" thumbnail -s 64 "$input" "$tmp/thumbnail/icons.png" ||
    return 1
  [ "$(identify -format '%m' "$tmp/thumbnail/icons.png")" = PNG ] && [ "$(ls -A "$tmp/thumbnail")" = icons.png ] || return 1
  pid=$(awk '/landlock_restrict_self\(.*= 0$/ {print $1; exit}' "$trace")
  if [ -z "$pid" ]; then
    echo "     the thumbnailer ran unconfined (no Landlock in this kernel, or a sanitizer build)"
    return 0
  fi
  fd=$(awk -v input="\"$input\"" 'index($0, input) && /open/ {print $NF; exit}' "$trace")
  [ -n "$fd" ] || return 1
  # reads of the input: read(fd, pread64(fd, or a mapping of it
  ! awk -v pid="$pid" -v fd="$fd" -v input="\"$input\"" '
    index($0, input) && /open/ {opened = 1; next}
    $1 == pid && /landlock_restrict_self/ {confined = 1; next}
    $1 == pid && confined && /open/ {print "     opened when confined: " $0; found = 1}
    opened && !confined && ($0 ~ "(read|pread64)\\(" fd "," || $0 ~ "mmap\\(.*, " fd ", ") {print "     read before the confinement: " $0; found = 1}
    END {exit !found}' "$trace" &&
    grep -q "^$pid  *pread64($fd, \"MZ" "$trace"  # the confined process read the input
}
check "the thumbnailer reads its input only confined, and opens nothing then" thumbnailer_confined

# the licence's text is the system's, which copyright names; the changelog
# is the one NEWS makes
licence_installed() {
  [ ! -e "$usr/share/doc/ovlix/LICENSE" ] && grep -q /usr/share/common-licenses/GPL-3 "$usr/share/doc/ovlix/copyright" &&
    zcat "$usr/share/doc/ovlix/changelog.gz" | head -n 1 | grep -qx "ovlix ($version) unstable; urgency=medium"
}
check "the copyright names the system's licence, the changelog is there" licence_installed

# Completion as bash does it, with the installed programs on PATH.
complete_words() {  # complete_words WORD... -> the candidates, one a line
  PATH=${tools:-$usr/bin}:$PATH bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _ovlix_resx ovlix-resx "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}"' _ "$usr/share/bash-completion/completions/ovlix-resx" "$@"
}
completion_works() {
  local library=$build/tests/toolchain32.dll
  [ "$(complete_words ovlix-resx e)" = extract ] || return 1
  [ "$(complete_words ovlix-resx list --j)" = --json ] || return 1
  complete_words ovlix-resx save "$library" Men | grep -qx 'Menu/100' || return 1
  [ "$(complete_words ovlix-resx i)" = icon ] || return 1
  (cd "$build/tests" && complete_words ovlix-resx list toolchain3) | grep -qx toolchain32.dll || return 1
  # names come from the file: a name that reads like a command is a name
  mkdir -p "$tmp/hostile"
  printf '#!/bin/sh\necho %s\n' "'{\"path\":\"\$(touch $tmp/ran)\"}'" >"$tmp/hostile/ovlix-resx"
  chmod +x "$tmp/hostile/ovlix-resx"
  [ "$(tools=$tmp/hostile complete_words ovlix-resx save "$library" '')" = "\$(touch $tmp/ran)" ] &&
    [ ! -e "$tmp/ran" ]
}
check "bash completes ovlix-resx's commands, options, node paths and files" completion_works

# What TAB inserts, in a real interactive bash (in tmux): a node path with
# blanks becomes one quoted word, and the command it completes runs.
tab_inserts_a_working_command() {
  local sock=$tmp/tmux.sock session=completion line
  mkdir -p "$tmp/tab"
  cp "$(dirname "$0")/../../fuzz/corpus/resx/icons.dll" "$tmp/tab/"
  tmux -S "$sock" -f /dev/null new-session -d -s $session -x 200 -y 10 \
    env -i HOME="$tmp/tab" TERM=xterm PATH="$usr/bin:/usr/bin:/bin" bash --norc --noprofile -i || return 1
  tmux -S "$sock" send-keys -t $session -l "source /usr/share/bash-completion/bash_completion; \
source $usr/share/bash-completion/completions/ovlix-resx; cd $tmp/tab; clear"
  tmux -S "$sock" send-keys -t $session Enter
  sleep 0.5
  tmux -S "$sock" send-keys -t $session -l "ovlix-resx save icons.dll Icon/MAIN/1"
  tmux -S "$sock" send-keys -t $session Tab
  sleep 1
  tmux -S "$sock" send-keys -t $session -l "saved.ico"
  sleep 0.3
  line=$(tmux -S "$sock" capture-pane -p -t $session | grep 'ovlix-resx save' | tail -n 1)
  echo "     after TAB: $line"
  tmux -S "$sock" send-keys -t $session Enter
  within 30 test -s "$tmp/tab/saved.ico"
  local status=$?
  tmux -S "$sock" kill-server
  [ $status -eq 0 ] && [[ $line == *'ovlix-resx save icons.dll Icon/MAIN/16\ X\ 16\ 16\ Colors saved.ico' ]] &&
    [ "$(stat -c %s "$tmp/tab/saved.ico")" -eq 318 ]
}
check "TAB inserts a node path with blanks as one word that runs" tab_inserts_a_working_command

# 2. The installed program, started from an unrelated folder through its
#    link on PATH, with a read-only program folder: root through a
#    read-only mount of its own, any other user by the folder's mode.
read_only() {  # read_only COMMAND...: runs COMMAND with the installed tree read-only
  if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
    unshare -m bash -c 'mount --bind "$0" "$0" && mount -o remount,bind,ro "$0" && exec "$@"' "$dest" "$@"
  else
    chmod -R a-w "$dest"
    "$@"
  fi
}
mkdir -p "$tmp/fake" "$XDG_CONFIG_HOME/ovlix/windows"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\n' "$tmp" >"$tmp/fake/xdg-open"
chmod +x "$tmp/fake/xdg-open"
printf '[Nastaveni]\nskin=Noc\n' >"$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
convert -size 40x20 xc:red "$tmp/wallpaper.jpg"

openbox >/dev/null 2>&1 &
pids+=($!)
within 100 wm_ready || echo "     the window manager did not start"
export -f read_only
export dest
# a session of its own, so that the program and strace end with it
(cd / && PATH=$tmp/fake:$usr/bin:$PATH exec setsid bash -c 'read_only strace -f -qq -e trace=openat -o "$0" ovlix' \
  "$tmp/opens" >"$tmp/program.log" 2>&1) &
program_session=$!
caption="^Ovlix $version Czech version\$"
shown() { xdotool search --onlyvisible --name "$caption" >/dev/null 2>&1; }
check "the installed program shows its main window" within 300 shown
win=$(xdotool search --onlyvisible --name "$caption" | head -n 1)
opened() { grep -q "$1" "$tmp/opens"; }
check "it reads its skin from its program folder" opened "\"$programdir/skins/Noc/Options.dat\""

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.5; }
# the help page through the menu: Nápověda, Nápověda (Z disku)
xdotool windowactivate --sync "$win" key --clearmodifiers alt
sleep 0.3
xdotool key Right Right Down
sleep 0.3
xdotool key Return
help_opened() { grep -qx "$programdir/readme.htm" "$tmp/opened" 2>/dev/null; }
check "it opens its help page" within 50 help_opened

# the tips: the last page, "Databáze Tipů a Triků…", the first topic
click "$win" 362 30
click "$win" 214 215
tips_shown() { xdotool search --onlyvisible --name '^Tipy a Triky' >/dev/null 2>&1; }
if within 50 tips_shown; then
  tips=$(xdotool search --onlyvisible --name '^Tipy a Triky' | head -n 1)
  click "$tips" 60 30
  import -window root "$tmp/tips.png" 2>/dev/null
  xdotool key --window "$tips" Escape
fi
check "it reads its tips" within 30 opened "\"$programdir/data/tipy/[a-z]*\.dat\""

# a JPEG wallpaper: the picture goes to the user's data folder
click "$win" 97 30
xdotool mousemove --window "$win" 164 74 click --repeat 3 1
xdotool type "$tmp/wallpaper.jpg"
click "$win" 370 105
import -window root "$tmp/wallpaper-page.png" 2>/dev/null
wallpaper_written() {
  [ -s "$XDG_DATA_HOME/ovlix/Desktop.bmp" ] &&
    grep -qF "\"Wallpaper\"=\"$XDG_DATA_HOME/ovlix/Desktop.bmp\"" "$XDG_CONFIG_HOME/ovlix/registry/HKEY_CURRENT_USER.reg"
}
check "a JPEG wallpaper is written to the user's data folder" within 50 wallpaper_written
[ -n "${OVLIX_SCREENSHOTS:-}" ] && cp "$tmp"/*.png "$OVLIX_SCREENSHOTS"/ 2>/dev/null

echo "install: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
