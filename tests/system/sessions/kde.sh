#!/usr/bin/env bash
# Ovlix in a real KDE Plasma session, headless: KWin's virtual backend with
# XWayland, kded5 (the tray's watcher), plasmashell (the panel and its tray),
# xdg-desktop-portal with xdg-desktop-portal-kde, and keys pressed through
# KWin's fake-input protocol, which reach global shortcuts as a keyboard's do.
# Usage: kde.sh OUT-DIR PATH-TO-OVLIX VERSION  (screenshots and logs in OUT-DIR)
set -u
name=kde
source "$(dirname "$0")/session.sh"
portal_kde=$(ls /usr/lib/*/libexec/xdg-desktop-portal-kde 2>/dev/null | head -n 1)
protocol=/usr/share/plasma-wayland-protocols/fake-input.xml
need kwin_wayland Xwayland kded5 plasmashell /usr/libexec/xdg-desktop-portal "${portal_kde:-xdg-desktop-portal-kde}" \
  wayland-scanner cc dbus-run-session dbus-monitor xmessage convert
[ -f "$protocol" ] || skip "$protocol is not installed (plasma-wayland-protocols)"
"$python" -c 'import dbus, gi' 2>/dev/null || skip "python3-dbus or python3-gi is not installed"
enter_session kde "$@"

prog=$2
caption="Ovlix $3 Czech version"
trap end_session EXIT
export XDG_CURRENT_DESKTOP=KDE XDG_SESSION_DESKTOP=KDE KDE_SESSION_VERSION=5 KDE_FULL_SESSION=true
export KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 LIBGL_ALWAYS_SOFTWARE=1
export WAYLAND_DISPLAY=wayland-ovlix-test
start_system_bus || echo "     the stand-in system bus did not start"

# KWin's binary carries a file capability, which a container refuses to
# exec: a plain copy runs. The fake-input client is built for this run.
mkdir -p "$root/bin"
cp "$(command -v kwin_wayland)" "$root/bin/"
wayland-scanner client-header "$protocol" "$root/bin/fake-input-client-protocol.h" &&
  wayland-scanner private-code "$protocol" "$root/bin/fake-input-protocol.c" &&
  cc -I"$root/bin" "$tools/fakeinput.c" "$root/bin/fake-input-protocol.c" -lwayland-client -o "$root/bin/fakeinput" ||
  { echo "FAIL the fake-input client does not build"; exit 1; }

keys() { "$root/bin/fakeinput" "$@" >>"$out/fakeinput.log" 2>&1; }
ctrl_e() { keys kd 29 kd 18 ku 18 ku 29; }
windows() { "$python" "$tools/kwin.py" windows "$out/kwin.log" 2>>"$out/kwin-script.log"; }
activate() { "$python" "$tools/kwin.py" activate "$out/kwin.log" "$1" 2>>"$out/kwin-script.log"; }
shot() { "$python" "$tools/kwin.py" shot "$out/$1.png" 2>>"$out/kwin-script.log" && echo "     screenshot $out/$1.png"; }
window_line() { windows | grep -F "$1"$'\t' | head -n 1; }
shown() { [ -n "$(window_line "$1")" ]; }
not_shown() { ! shown "$1"; }
active() { window_line "$1" | grep -q $'\tactive=true'; }
main_shown() { shown "$caption"; }
app_id() { window_line "$caption" | grep -q -F "$caption"$'\torg.ovlix.Ovlix\t'; }
killer_shown() { shown "Ovlix: Process Killer"; }
killer_gone() { ! killer_shown; }
main_hidden() { not_shown "$caption" && alive "$ovlix"; }

spawn kwin.log "$python" "$tools/x_display.py" "$root/display" "$root/bin/kwin_wayland" --virtual --xwayland \
  --socket "$WAYLAND_DISPLAY" --width 1280 --height 800 --no-lockscreen
kwin_up() { [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && has_name org.kde.KWin; }
within 600 kwin_up || { echo "FAIL KWin does not start (see $out/kwin.log)"; exit 1; }
export DISPLAY=$(cat "$root/display")
cleanup_paths+=("/tmp/.X${DISPLAY#:}-lock" "/tmp/.X11-unix/X${DISPLAY#:}")
share_environment

# KDE's service cache, as a Plasma session builds it at log-in: with it the
# portal finds System Settings (systemsettings:// links) as it would there
kbuildsycoca5 >"$out/kbuildsycoca5.log" 2>&1
# the panel's tray: kded5 keeps the watcher, plasmashell's tray registers as its host
spawn kded5.log kded5
spawn plasmashell.log plasmashell --no-respawn
tray_host() {
  dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
    string:IsStatusNotifierHostRegistered 2>/dev/null | grep -q 'boolean true'
}
within 900 tray_host || echo "     plasmashell's tray did not register as a tray host"

start_portal() {
  spawn portal-kde.log "$portal_kde"
  portal_pids=("$last")
  # the frontend looks for its backend once, when it starts
  within 200 has_name org.freedesktop.impl.portal.desktop.kde || echo "     the portal's KDE backend did not start"
  spawn portal.log /usr/libexec/xdg-desktop-portal
  portal_pids+=("$last")
  within 200 has_name org.freedesktop.portal.Desktop
}
spawn portal-calls.log dbus-monitor --session "interface='org.freedesktop.portal.GlobalShortcuts'"
monitor=$last
# calls of one method, each with its arguments (dbus-monitor prints one block a message)
calls() { awk -v m="member=$1" '/^[a-z]/ { on = index($0, m) > 0 } on' "$out/portal-calls.log"; }
count_calls() { calls "$1" | grep -c "member=$1"; }

# 1. The portal runs before Ovlix starts, as at a log-in.
start_portal || echo "     the portal did not start"
safe_settings
start_ovlix ovlix.log
check "the main window shows" within 300 main_shown
check "its app id is org.ovlix.Ovlix" app_id
# KWin offers server-side frames: Qt asks for them, and the program draws no
# title bar of its own (it would be a second one)
check "KWin draws the main window's frame" grep -q "zxdg_toplevel_decoration_v1@[0-9]*\.configure(2)" "$out/ovlix.log"
windows | sed 's/^/     window: /'
shot 01-main-window

handed_over() {  # the keys bound, in CreateSession's shortcuts: W, E, F11 and F12 with Ctrl
  local c
  c=$(calls CreateSession)
  for id in hotkey-2-87 hotkey-2-69 hotkey-2-122 hotkey-2-123; do
    grep -q "\"$id\"" <<<"$c" || return 1
  done
  grep -q '"shortcuts"' <<<"$c"
}
check "the hotkeys go to the portal in CreateSession's shortcuts" within 200 handed_over
no_power_keys() { ! grep -q -E '"hotkey-[0-9]+-(81|82|89)"' "$out/portal-calls.log"; }
check "no power or trash key is handed over (p5, p6, p7 empty)" no_power_keys
ctrl_e_bound() {
  "$python" "$tools/kglobalaccel.py" >"$out/kglobalaccel.txt" 2>&1
  grep -q -P '\thotkey-2-69\t0x4000045$' "$out/kglobalaccel.txt"
}
check "KDE's shortcut daemon has Ctrl+E for hotkey-2-69" within 100 ctrl_e_bound
grep hotkey "$out/kglobalaccel.txt" | sed 's/^/     kglobalaccel: /'
# KDE's portal answers BindShortcuts by opening System Settings on the keys'
# page (where no handler for systemsettings:// is found, it says so in its log)
settings_window() {
  windows | grep -q -i -E $'\t(systemsettings|org.kde.systemsettings)\t|^System Settings' ||
    grep -q 'systemsettings://' "$out/portal-kde.log"
}
no_settings_window() { ! within 50 settings_window; }
check "no System Settings window appears at start" no_settings_window
echo "     BindShortcuts calls: $(count_calls BindShortcuts)"

# 2. Ctrl+E pressed while another program's window has the focus.
spawn other.log xmessage -name other -title "Other window" "another program"
within 100 shown "Other window" && activate "Other window"
check "another program's window has the focus" within 50 active "Other window"
ctrl_e_opens_killer() { ctrl_e && within 100 killer_shown; }
check "Ctrl+E in another window opens the process killer" ctrl_e_opens_killer
shot 02-after-ctrl-e
esc_closes() { within 30 active "Ovlix: Process Killer" && keys kd 1 ku 1 && within 50 killer_gone; }
check "the process killer has the keyboard focus: Esc closes it" esc_closes
activate "Ovlix: Process Killer" && keys kd 1 ku 1 && within 30 killer_gone

# 3. The tray: an item with a real menu; Activate shows the hidden window.
tray_item() { "$python" "$tools/tray.py" items 2>/dev/null | grep -q "^pid=$ovlix"$'\t'; }
check "the tray icon is registered" within 100 tray_item
"$python" "$tools/tray.py" items 2>&1 | sed 's/^/     tray item: /'
real_menu() { "$python" "$tools/tray.py" menu "$ovlix" >"$out/tray-menu.txt" 2>&1 && grep -q "Ukončit" "$out/tray-menu.txt"; }
check "the tray item's menu is a DBusMenu (with \"Ukončit\")" real_menu
f9_hides() { activate "$caption" && within 30 active "$caption" && keys kd 67 ku 67 && within 50 main_hidden; }
check "F9 hides the main window where a tray shows the icon" f9_hides
shot 03-hidden
activate_shows() { "$python" "$tools/tray.py" activate "$ovlix" && within 50 main_shown; }
check "the tray item's Activate shows the main window" activate_shows
shot 04-after-activate
ctrl_w_shows() {
  activate "$caption" && keys kd 67 ku 67 && within 50 main_hidden || return 1
  keys kd 29 kd 17 ku 17 ku 29 && within 50 main_shown
}
check "Ctrl+W shows the hidden main window" ctrl_w_shows

# 4. A second start raises the running copy and ends with status 0.
second_start() {
  activate "$caption" && keys kd 67 ku 67 && within 50 main_hidden || return 1
  timeout 20 env QT_QPA_PLATFORM=wayland "$prog" >>"$out/second.log" 2>&1
  local rc=$?
  echo "     second copy: exit status $rc"
  [ "$rc" -eq 0 ] && within 50 main_shown && alive "$ovlix"
}
check "a second start shows the hidden window and ends with status 0" second_start
check "the shown window is the active one" within 30 active "$caption"
shot 05-after-second-start

# 5. The portal starts after Ovlix (autostart before the portal is up): Ovlix
#    waits for it and hands the keys over then.
kill "$ovlix"
within 50 gone "$ovlix"
kill "${portal_pids[@]}"
portal_gone() { ! has_name org.freedesktop.portal.Desktop; }
within 50 portal_gone
before=$(count_calls CreateSession)
start_ovlix ovlix-portal-later.log
within 300 main_shown || echo "     the main window of the new run did not show"
sleep 2  # Ovlix has looked for the portal and found none
start_portal || echo "     the portal did not start again"
new_session() { [ "$(count_calls CreateSession)" -gt "$before" ]; }
check "a portal started after Ovlix gets the hotkeys" within 200 new_session
later_ctrl_e() { activate "Other window" && within 30 active "Other window" && ctrl_e && within 100 killer_shown; }
check "then Ctrl+E in another window opens the process killer" later_ctrl_e
shot 06-portal-later-ctrl-e

finish
