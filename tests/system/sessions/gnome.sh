#!/usr/bin/env bash
# Ovlix under GNOME Shell (43: no global shortcuts for programs, no tray
# without an extension), headless with a virtual monitor, beside the desktop
# portal as a GNOME session runs it. The program is driven through the
# accessibility bus; the shell reports its windows and takes screenshots.
# Usage: gnome.sh OUT-DIR PATH-TO-OVLIX VERSION  (screenshots and logs in OUT-DIR)
set -u
name=gnome
source "$(dirname "$0")/session.sh"
need gnome-shell dbus-run-session dbus-daemon /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-gnome \
  /usr/libexec/at-spi-bus-launcher gdbus
"$python" -c 'import dbus, gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
  skip "python3-dbus, python3-gi or gir1.2-atspi-2.0 is not installed"
enter_session gnome "$@"

prog=$2
caption="Ovlix $3 Czech version"
trap end_session EXIT
export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_DESKTOP=gnome WAYLAND_DISPLAY=wayland-ovlix-test
# GNOME Shell does not start without a system bus
start_system_bus || { echo "FAIL the stand-in system bus does not start"; exit 1; }
spawn gnome-shell.log gnome-shell --headless --wayland --no-x11 --virtual-monitor 1280x800 \
  --wayland-display "$WAYLAND_DISPLAY"
shell_up() { [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && has_name org.gnome.Shell.Introspect; }
within 600 shell_up || { echo "FAIL GNOME Shell does not start (see $out/gnome-shell.log)"; exit 1; }
share_environment
# the portal and its GNOME backend, the backend first (the frontend looks for it once)
spawn portal-gnome.log /usr/libexec/xdg-desktop-portal-gnome
within 200 has_name org.freedesktop.impl.portal.desktop.gnome || echo "     the portal's GNOME backend did not start"
# GNOME's portals only: xdg-desktop-portal 1.16 would hand GlobalShortcuts
# to KDE's backend, installed beside for the KDE test, where no desktop has one
mkdir -p "$root/portals"
for f in /usr/share/xdg-desktop-portal/portals/*.portal; do
  [ "$(basename "$f")" = kde.portal ] || ln -s "$f" "$root/portals/"
done
spawn portal.log env XDG_DESKTOP_PORTAL_DIR="$root/portals" /usr/libexec/xdg-desktop-portal
within 200 has_name org.freedesktop.portal.Desktop || echo "     the portal did not start"
gs_version=$(dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop \
  org.freedesktop.DBus.Properties.Get string:org.freedesktop.portal.GlobalShortcuts string:version 2>/dev/null |
  awk '/uint32/ { print $NF }')
echo "     the portal's GlobalShortcuts: ${gs_version:+version }${gs_version:-none}"
# the shell starts in its overview, over every window
leave_overview() {
  gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell --method \
    org.freedesktop.DBus.Properties.Set org.gnome.Shell OverviewActive "<false>" >/dev/null 2>&1
}
leave_overview
shot() { "$python" "$tools/gnome_shell.py" shot "$out/$1.png" 2>>"$out/shell-calls.log" && echo "     screenshot $out/$1.png"; }
windows() { "$python" "$tools/gnome_shell.py" windows 2>>"$out/shell-calls.log"; }
main_line() { windows | grep -F "$caption"$'\t' | head -n 1; }
main_shown() { main_line | grep -q $'\thidden=false'; }
app_id() { main_line | grep -q -F $'\torg.ovlix.Ovlix\t'; }
main_minimised() { main_line | grep -q $'\thidden=true'; }
source "$sessions_dir/wayland_checks.sh"

safe_settings
start_ovlix ovlix.log
check "the main window shows" within 300 main_shown
check "the program draws the main window's frame: minimise and close, no maximise" own_frame
check "its app id is org.ovlix.Ovlix" app_id
windows | sed 's/^/     window: /'
leave_overview
shot 01-main-window
check "the hotkey dialog says this desktop offers no global shortcuts" no_shortcuts_line
shot 02-hotkey-dialog
check "the close button of the dialog's own title bar closes it" close_hotkey_dialog
check "\"Ponechat jen v TrayIkonce\" without a tray minimises the window" hide_minimises
check "GNOME Shell has the window minimised" within 50 main_minimised
check "the program keeps its window and goes on" kept_window
shot 03-after-hide
# GNOME hides the dialogs of a minimised window: one opened now (from a
# tray, were there one) must show all the same
dialog_shown() { windows | grep -F "Nastavení klávesových zkratek"$'\t' | grep -q $'\thidden=false'; }
open_while_minimised() {
  timeout 30 "$python" "$tools/atspi.py" "$ovlix" press "Nastavení klávesových zkratek" >>"$out/atspi.log" 2>&1 &
  pids+=($!)
  within 100 dialog_shown
}
check "a dialog opened while the window is minimised shows" open_while_minimised
shot 04-dialog-of-minimised
check "the close button of the dialog's own title bar closes it" close_hotkey_dialog

finish
