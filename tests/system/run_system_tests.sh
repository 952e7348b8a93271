#!/usr/bin/env bash
# The real program under a virtual X server (run through xvfb-run), driven
# and watched from outside with xdotool, against a temporary platform root.
# Usage: run_system_tests.sh PATH-TO-OVLIX VERSION
set -u
prog=$1
version=$2
caption="^Ovlix $version Czech version\$"
source "$(dirname "$0")/checks.sh"

tmp=$(mktemp -d /tmp/ovlix-system-XXXXXX)
export XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data XDG_RUNTIME_DIR=$tmp/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# no desktop's own settings tools are ever run from here
unset XDG_CURRENT_DESKTOP
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  rm -rf "$tmp"
}
trap cleanup EXIT

# logind on a private system bus of the test's own: power requests are
# logged there, and never reach the machine's.
bus_conf="$(dirname "$0")/../support/private-bus.conf"
dbus-daemon --config-file="$bus_conf" --nofork --print-address=1 >"$tmp/system-bus" 2>/dev/null &
pids+=($!)
bus_up() { [ -s "$tmp/system-bus" ]; }
within 100 bus_up || echo "     the private system bus did not start"
export DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$tmp/system-bus")
/usr/bin/python3 "$(dirname "$0")/fake_logind.py" "$DBUS_SYSTEM_BUS_ADDRESS" "$tmp/logind.log" 2>>"$tmp/logind.err" &
pids+=($!)
logind_ready() { grep -q ready "$tmp/logind.log" 2>/dev/null; }
within 100 logind_ready || echo "     the fake logind did not start"
power_requests() { grep -v ready "$tmp/logind.log"; }
# What scripts/run.sh builds is a working program folder: the programs and
# every file they read from beside themselves.
folder=$(dirname "$prog")
run_command_builds_the_folder() {
  local inputs
  grep -qx 'ninja -C build ovlix_program_folder' "$(dirname "$0")/../../scripts/run.sh" || return 1
  inputs=$(ninja -C "$folder" -t query ovlix_program_folder 2>/dev/null) || return 1
  for target in ovlix ovlix-resx ovlix-folderlock ovlix_shipped; do
    grep -qx "    $target" <<<"$inputs" || { echo "     the run command does not build $target"; return 1; }
  done
}
check "the run command builds the whole program folder" run_command_builds_the_folder
program_folder_complete() {
  [ -x "$folder/ovlix-resx" ] && [ -x "$folder/ovlix-folderlock" ] && [ -f "$folder/readme.htm" ] &&
    [ -f "$folder/skins/Klasik/Options.dat" ] && [ -f "$folder/skins/Noc/Options.dat" ] &&
    [ -x "$folder/data/kspass.vbs" ] && [ "$(find "$folder/data/tipy" -name '*.dat' | wc -l)" -eq 10 ]
}
check "the program folder holds the tools, the help page, the skins, the tips and the folder-lock script" \
  program_folder_complete
# --help and --version answer without a display and start nothing
gnu_options() {
  local answer
  answer=$(DISPLAY= WAYLAND_DISPLAY= timeout 5 "$prog" --version) &&
    [ "$(head -n 1 <<<"$answer")" = "ovlix (Ovlix) $version" ] || return 1
  answer=$(DISPLAY= WAYLAND_DISPLAY= timeout 5 "$prog" --help) && grep -q '^Použití: ovlix' <<<"$answer" || return 1
  answer=$(timeout 5 "$folder/ovlix-folderlock" --version) &&
    [ "$(head -n 1 <<<"$answer")" = "ovlix-folderlock (Ovlix) $version" ]
}
check "ovlix and ovlix-folderlock answer --version and --help without opening a window" gnu_options

# A window manager, so the close box and Alt+F4 mean what they mean on a desktop.
openbox >/dev/null 2>&1 &
pids+=($!)
within 100 wm_ready || echo "     the window manager did not start"

start() {  # starts the program in the background; its pid in $last
  "$prog" >>"$tmp/program.log" 2>&1 &
  last=$!
  pids+=("$last")
}

visible_windows() { xdotool search --onlyvisible --name "$caption" 2>/dev/null | wc -l; }
shown() { [ "$(visible_windows)" -ge 1 ]; }
alive() { kill -0 "$1" 2>/dev/null; }
gone() { ! alive "$1"; }
hidden_and_alive() { [ "$(visible_windows)" -eq 0 ] && alive "$1"; }
# a plain poll: xdotool's own --sync gives up when a window vanishes mid-search
wait_visible() { within 150 shown; }
press() {  # press KEYS on the main window once it is shown
  wait_visible || return 1
  local win
  win=$(xdotool search --onlyvisible --name "$caption" | head -n 1)
  xdotool windowactivate --sync "$win" key --clearmodifiers "$@"
}

# 1. A first start shows the main window, found by its caption.
start
first=$last
check "the main window appears" wait_visible
# the desktop matches the window to the menu entry (StartupWMClass=Ovlix)
# by its class, which no release changes
window_class() {
  [ "$(xprop -id "$(xdotool search --onlyvisible --name "$caption" | head -n 1)" WM_CLASS)" = \
    'WM_CLASS(STRING) = "ovlix", "Ovlix"' ]
}
check "the window's class is ovlix / Ovlix, without the version" window_class

# 2. A second copy ends at once with exit code 0 and shows nothing.
second_copy() {
  local begin rc
  begin=$(date +%s%N)
  timeout 10 "$prog" >>"$tmp/program.log" 2>&1
  rc=$?
  local ms=$((($(date +%s%N) - begin) / 1000000))
  echo "     second copy: exit code $rc after $ms ms"
  [ "$rc" -eq 0 ] && [ "$(visible_windows)" -eq 1 ] && alive "$first"
}
check "a second copy ends at once with code 0" second_copy

# 3. The lock dies with its holder, however it ends.
kill -9 "$first"
wait "$first" 2>/dev/null
start
check "a start after a crash of the first copy shows the window" wait_visible
kill "$last"
wait "$last" 2>/dev/null

# 4. The tray-start flag where no tray is on the screen: the window starts
#    minimised, and a second start brings it forward.
mkdir -p "$XDG_CONFIG_HOME/ovlix/windows"
printf '[Nastaveni]\r\nspousteniVTray=1\r\n' >"$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
start
hidden=$last
iconic() { local w; w=$(xdotool search --name "$caption" 2>/dev/null | head -n 1); [ -n "$w" ] && xprop -id "$w" WM_STATE | grep -q 'window state: Iconic'; }
tray_start() { within 100 iconic && ! shown && alive "$hidden"; }
check "without a tray the tray-start flag minimises the window" tray_start
again_shows() { timeout 10 "$prog" >>"$tmp/program.log" 2>&1 && wait_visible; }
check "a second start brings the minimised window forward" again_shows
kill "$hidden"
wait "$hidden" 2>/dev/null

# 5. F9 on the focused window hides it; the program goes on.
rm -f "$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
start
hiding=$last
f9_hides() { press F9 && within 30 hidden_and_alive "$hiding"; }
check "F9 hides the main window and the program goes on" f9_hides
kill "$hiding"
wait "$hiding" 2>/dev/null

# 6. Closing the window ends the program.
rm -f "$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
start
closing=$last
# with status 0: under the sanitizers a leak found at the end would change it
close_ends() { press alt+F4 && within 50 gone "$closing" && wait "$closing"; }
check "Alt+F4 on the main window ends the program, with status 0" close_ends

# 7. The blinker switched on at start runs the real lock lights (XKB):
#    Num (2), Caps (1), Scroll (4) in the LED mask of the X server.
printf '[Nastaveni]\nBlikaniPriSpusteni=1\nBlikaniRychlost=100\n' >"$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
start
blinking=$last
leds_run() {
  wait_visible || return 1
  local seen=""
  for _ in $(seq 40); do
    seen+=$(xset q | sed -n 's/.*LED mask: *0*\([0-9a-f]*\).*/\1/p')
    sleep 0.05
  done
  [[ $seen == *1* && $seen == *2* && $seen == *4* ]]
}
check "the blinker at start runs the lock lights" leds_run
kill "$blinking"
wait "$blinking" 2>/dev/null

# 8. Tray and hotkeys, with a tray host on the screen. The program starts
#    hidden; its icon sits in the tray; Ctrl+W, Ctrl+E and Ctrl+Y work from
#    anywhere, with Caps Lock on too. Ctrl+Q and Ctrl+R are never pressed.
trayer --edge bottom --widthtype pixel --width 120 --height 24 >/dev/null 2>&1 &
pids+=($!)
tray_ready() { xwininfo -root -tree | grep -q '"panel": ("panel" "trayer")'; }
within 100 tray_ready || echo "     the tray host did not start"
printf '[Nastaveni]\nSpousteniVTray=1\n' >"$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
mkdir -p "$XDG_DATA_HOME/Trash/files" "$XDG_DATA_HOME/Trash/info"
echo old >"$XDG_DATA_HOME/Trash/files/old.txt"
echo "[Trash Info]" >"$XDG_DATA_HOME/Trash/info/old.txt.trashinfo"
start
traying=$last
count_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }
icon_in_tray() {
  local panel
  panel=$(xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {print $1; exit}')
  [ -n "$panel" ] && xwininfo -tree -id "$panel" | grep -q '("ovlix"'
}
killer_shown() { [ "$(count_named '^Ovlix: Process Killer$')" -eq 1 ]; }
killer_gone() { [ "$(count_named '^Ovlix: Process Killer$')" -eq 0 ]; }
killers_two() { [ "$(count_named '^Ovlix: Process Killer$')" -ge 2 ]; }
check "the tray icon is embedded while the program runs hidden" within 100 icon_in_tray
ctrl_w_shows() { xdotool key ctrl+w && wait_visible; }
check "Ctrl+W shows the hidden main window" ctrl_w_shows
ctrl_e_once() {
  xdotool key ctrl+e && within 50 killer_shown || return 1
  xdotool key ctrl+e && ! within 10 killers_two && killer_shown || return 1
  xdotool key Escape && within 30 killer_gone
}
check "Ctrl+E opens the process killer, a second Ctrl+E does nothing" ctrl_e_once
# no real trash of this user on any volume may be within the program's reach
real_trash=""
while read -r _ point _; do
  [ -e "$point/.Trash-$(id -u)" ] || [ -e "$point/.Trash/$(id -u)" ] && real_trash=$point
done </proc/self/mounts
trash_emptied() { [ ! -e "$XDG_DATA_HOME/Trash/files/old.txt" ]; }
question_box() { xdotool search --onlyvisible --name "^Ovlix $version\$" 2>/dev/null | head -n 1; }
asked() { [ -n "$(question_box)" ]; }
not_asked() { [ -z "$(question_box)" ]; }
question_has_keyboard() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$(question_box)" ]; }
# another program in front, as when the key was meant for it
xmessage -name other "Jiný program" >/dev/null 2>&1 &
pids+=($!)
other_shown() { xdotool search --onlyvisible --classname other >/dev/null 2>&1; }
within 100 other_shown
focus_other() { xdotool windowactivate --sync "$(xdotool search --onlyvisible --classname other | head -n 1)"; }
ask_and_answer() {  # ask_and_answer KEY ANSWER-KEYS...: the key asks; the answer closes the question
  local key=$1
  shift
  focus_other && xdotool key "$key" && within 50 asked && within 30 question_has_keyboard || return 1
  xdotool key "$@" && within 30 not_asked
}
refused_everything() {
  ask_and_answer ctrl+q Escape && ask_and_answer ctrl+r Return && ask_and_answer ctrl+y Escape || return 1
  [ -z "$(power_requests)" ] && [ -e "$XDG_DATA_HOME/Trash/files/old.txt" ]
}
check "Ctrl+Q, Ctrl+R and Ctrl+Y pressed in another program ask first; Esc and Enter leave all as it was" refused_everything
# the shut-down alone: the forced log-off asked for before it would end the
# session, and the program, first
power_off_requested() { [ "$(power_requests | tr '\n' ' ')" = "PowerOff " ]; }
shut_down_on_yes() { ask_and_answer ctrl+q Tab space && within 30 power_off_requested; }
check "\"Ano\" shuts down (a fake logind takes the request)" shut_down_on_yes
if [ -z "$real_trash" ]; then
  trash_on_yes() { ask_and_answer ctrl+y Tab space && within 30 trash_emptied; }
  check "Ctrl+Y empties the trash after \"Ano\"" trash_on_yes
else
  echo "skip Ctrl+Y: $real_trash holds a real trash of this user"
fi
caps_on() { xset q | grep -q 'Caps Lock: *on'; }
with_caps_lock() {
  caps_on || { xdotool keydown Caps_Lock; xdotool keyup Caps_Lock; }
  caps_on || return 1
  press F9 && within 30 hidden_and_alive "$traying" || return 1
  xdotool key ctrl+w && wait_visible
}
check "hotkeys work with Caps Lock on" with_caps_lock
library="$(dirname "$prog")/tests/toolchain32.dll"
explorer_caption="^Resource Explorer - $(echo "$library" | tr '[:upper:]' '[:lower:]')\$"
explorer_shown() { [ "$(count_named "$explorer_caption")" -eq 1 ]; }
explorer_gone() { [ "$(count_named "$explorer_caption")" -eq 0 ]; }
second_start_shows() {
  press F9 && within 30 hidden_and_alive "$traying" || return 1
  timeout 10 "$prog" >>"$tmp/program.log" 2>&1 && wait_visible
}
check "a second start shows the window hidden in the tray" second_start_shows
second_start_opens() {
  timeout 10 "$prog" "$library" >>"$tmp/program.log" 2>&1 && within 100 explorer_shown || return 1
  xdotool key Escape && within 30 explorer_gone
}
check "a second start with a library opens it in the running copy's explorer, with the keyboard" second_start_opens
no_icon() { ! icon_in_tray; }
quit_removes_icon() { press alt+F4 && within 50 gone "$traying" && within 30 no_icon; }
check "after quitting the tray icon is gone" quit_removes_icon

# 9. Dialogs: each is a dialog of the window that opened it, and the tray
#    icon and its menu stay live while one is open. The program starts in
#    the tray; the process killer opens modally over the hidden main window.
printf '[Nastaveni]\nSpousteniVTray=1\n' >"$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
start
dialogs=$last
main_window() { xdotool search --name "$caption" 2>/dev/null | head -n 1; }
one_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
named_shown() { [ -n "$(one_named "$1")" ]; }
named_gone() { [ -z "$(one_named "$1")" ]; }
about_shown() { [ "$(count_named '^O programu$')" -eq 1 ]; }
about_gone() { [ "$(count_named '^O programu$')" -eq 0 ]; }
abouts_two() { [ "$(count_named '^O programu$')" -ge 2 ]; }
click_icon() {  # click_icon BUTTON: on the icon in the tray, from outside
  local panel icon
  panel=$(xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {print $1; exit}')
  icon=$(xwininfo -tree -id "$panel" | awk '/\("ovlix"/ {print $1; exit}')
  [ -n "$icon" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$icon")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click "$1"
}
# the tray menu's items from the bottom: "Ukončit", "O Programu", ...
menu_item_from_bottom() {  # menu_item_from_bottom N: opens the menu, takes the Nth item
  click_icon 3 && sleep 0.5 && xdotool key --delay 100 $(printf 'Up %.0s' $(seq "$1")) Return
}
is_dialog_of() {  # is_dialog_of WINDOW OWNER
  xprop -id "$1" WM_TRANSIENT_FOR | grep -qi "# $(printf '0x%x' "$2")\$" &&
    xprop -id "$1" _NET_WM_WINDOW_TYPE | grep -q '= _NET_WM_WINDOW_TYPE_DIALOG'
}
wm_state() { xprop -id "$1" WM_STATE | sed -n 's/.*window state: *//p'; }
geometry() { xdotool getwindowgeometry "$1" | sed -n 's/^ *\(Position\|Geometry\): *\([0-9x,]*\).*/\2/p' | tr '\n' ' '; }
check "the tray icon is embedded" within 100 icon_in_tray
killer_over_hidden_window() {
  xdotool key ctrl+e && within 50 killer_shown || return 1
  is_dialog_of "$(one_named '^Ovlix: Process Killer$')" "$(main_window)"
}
check "the process killer is a dialog of the main window, hidden or not" killer_over_hidden_window
left_click_shows() { click_icon 1 && wait_visible; }
check "a left click on the icon shows the main window while the killer is modal" left_click_shows
# A dialog minimised alone would leave the main window blocked: the main
# window goes along, or the dialog stays; here the window manager met the
# killer before the main window it belongs to.
not_minimised_alone() {
  local killer main
  killer=$(one_named '^Ovlix: Process Killer$')
  main=$(main_window)
  xdotool windowminimize "$killer"
  sleep 1
  echo "     after minimising the killer: killer $(wm_state "$killer"), main window $(wm_state "$main")"
  [ "$(wm_state "$killer")" = Normal ] || [ "$(wm_state "$main")" = Iconic ] || return 1
  xdotool windowactivate "$main"
  sleep 1
  [ "$(wm_state "$killer")" = Normal ] && [ "$(wm_state "$main")" = Normal ]
}
check "a dialog is not minimised on its own" not_minimised_alone
menu_works() { menu_item_from_bottom 2 && within 50 about_shown; }
check "the tray menu opens and its items work while the killer is modal" menu_works
no_second_about() {
  menu_item_from_bottom 2 && ! within 10 abouts_two && about_shown && alive "$dialogs" || return 1
  is_dialog_of "$(one_named '^O programu$')" "$(main_window)"
}
check "\"O Programu\" while the about box is open opens no second one" no_second_about
about_takes_keyboard() { xdotool key Escape && within 30 about_gone; }
check "the about box opened from the tray has the keyboard: Esc closes it unclicked" about_takes_keyboard
close_killer() { xdotool windowactivate --sync "$(one_named '^Ovlix: Process Killer$')" key Escape && within 30 killer_gone; }
check "the dialogs close one over the other" close_killer
log_off_once() {  # "Odhlásit uživatele": the forced log-off and the log-off are one request
  local before
  before=$(power_requests | wc -l)
  requests_after() { [ "$(power_requests | tail -n +$((before + 1)) | wc -l)" -ge "$1" ]; }
  menu_item_from_bottom 3 && within 30 requests_after 1 && ! within 10 requests_after 2 &&
    [ "$(power_requests | tail -n 1)" = Terminate ]
}
check "\"Odhlásit uživatele\" in the tray menu ends the session once (a fake logind takes it)" log_off_once
quit_from_menu() {
  xdotool key ctrl+e && within 50 killer_shown || return 1
  menu_item_from_bottom 1 && within 50 gone "$dialogs"
}
check "\"Ukončit\" in the tray menu ends the program while the killer is modal" quit_from_menu
kill "$dialogs" 2>/dev/null
wait "$dialogs" 2>/dev/null
# Showings land where the first one did: windows are placed by their
# client area, whose place the window manager's frame does not change.
rm -f "$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
start
placing=$last
same_place_twice() {  # same_place_twice CAPTION-REGEX OPEN-COMMAND...
  local name=$1 first second
  shift
  "$@" && within 50 named_shown "$name" || return 1
  sleep 0.5
  first=$(geometry "$(one_named "$name")")
  xdotool windowactivate --sync "$(one_named "$name")" key Escape
  within 30 named_gone "$name" || return 1
  "$@" && within 50 named_shown "$name" || return 1
  sleep 0.5
  second=$(geometry "$(one_named "$name")")
  xdotool windowactivate --sync "$(one_named "$name")" key Escape
  echo "     $name: first $first, second $second"
  [ -n "$first" ] && [ "$first" = "$second" ]
}
check "the process killer lands where it did the first time" same_place_twice '^Ovlix: Process Killer$' press ctrl+e
check "the about box lands where it did the first time" same_place_twice '^O programu$' menu_item_from_bottom 2
main_same_place() {
  wait_visible || return 1
  local first second
  sleep 0.5
  first=$(geometry "$(one_named "$caption")")
  press F9 && within 30 hidden_and_alive "$placing" || return 1
  xdotool key ctrl+w && wait_visible || return 1
  sleep 0.5
  second=$(geometry "$(one_named "$caption")")
  echo "     main window: first $first, second $second"
  [ "$first" = "$second" ]
}
check "the main window lands where it did the first time" main_same_place
kill "$placing"
wait "$placing" 2>/dev/null
# An error box at start: a dialog, its caption whole in a box wide enough.
printf '[Nastaveni]\nBlikaniRychlost=x\n' >"$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
start
boxing=$last
box_is_dialog() {
  within 100 named_shown "^Ovlix $version\$" || return 1
  local box=$(one_named "^Ovlix $version\$")
  xprop -id "$box" _NET_WM_WINDOW_TYPE | grep -q '= _NET_WM_WINDOW_TYPE_DIALOG' &&
    xprop -id "$box" WM_TRANSIENT_FOR | grep -q 'window id'
}
check "an error box is a dialog to the window manager" box_is_dialog
kill "$boxing"
wait "$boxing" 2>/dev/null

# 10. A library named on the command line opens in the resource explorer,
#     which keeps its own Ctrl+E (a view style) from the global key.
rm -f "$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
"$prog" "$library" >>"$tmp/program.log" 2>&1 &
exploring=$!
pids+=("$exploring")
check "a library on the command line opens in the resource explorer" within 100 explorer_shown
own_ctrl_e() {
  xdotool windowactivate --sync "$(one_named "$explorer_caption")" key ctrl+e || return 1
  ! within 20 killer_shown
}
check "Ctrl+E in the explorer switches its view and opens no process killer" own_ctrl_e
kill "$exploring"
wait "$exploring" 2>/dev/null

# 11. The screen-saver delay set in the window reaches the X server's
#     screen-saver timeout; the cycle the server had stays.
rm -f "$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
xset s 600 123
start
saving=$last
server_saver() { xset q | sed -n 's/^ *timeout: *\([0-9]*\) *cycle: *\([0-9]*\).*/\1 \2/p'; }
delay_reaches_server() {
  wait_visible || return 1
  local win
  win=$(xdotool search --onlyvisible --name "$caption" | head -n 1)
  # the page "Plocha, start a spořič", its spin box "Vyčkat" and the button "Použít nastavení"
  xdotool windowactivate --sync "$win" mousemove --window "$win" 125 22 click 1 &&
    sleep 0.5 &&
    xdotool mousemove --window "$win" 85 343 click 1 key ctrl+a type 25 &&
    xdotool mousemove --window "$win" 344 343 click 1 || return 1
  within 50 named_shown '^Information$' || return 1
  echo "     X server screen saver: $(server_saver)"
  [ "$(server_saver)" = "1500 123" ]
}
check "the screen-saver delay reaches the X server" delay_reaches_server
kill "$saving"
wait "$saving" 2>/dev/null

# 12. A platform without an X connection (offscreen here, a Wayland
#     session without XWayland alike): the program runs, without X11's
#     hotkeys and lock lights.
QT_QPA_PLATFORM=offscreen "$prog" >>"$tmp/program.log" 2>&1 &
headless=$!
pids+=("$headless")
runs_on() { ! within 20 gone "$headless"; }  # a crash at start would end it within this while
check "the program runs on a platform without an X connection" runs_on
kill "$headless"
wait "$headless" 2>/dev/null

echo "system: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
