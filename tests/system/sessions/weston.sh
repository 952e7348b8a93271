#!/usr/bin/env bash
# Ovlix under weston, headless: a Wayland desktop with no tray, no desktop
# portal's global shortcuts and no way for a test to press keys. The program
# is driven through the accessibility bus and watched through its own
# Wayland requests (WAYLAND_DEBUG) and weston's screenshots.
# Usage: weston.sh OUT-DIR PATH-TO-OVLIX VERSION  (screenshots and logs in OUT-DIR)
set -u
name=weston
source "$(dirname "$0")/session.sh"
need weston weston-screenshooter dbus-run-session /usr/libexec/at-spi-bus-launcher
"$python" -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null || skip "AT-SPI's introspection data (gir1.2-atspi-2.0) is not installed"
enter_session weston "$@"

prog=$2
caption="Ovlix $3 Czech version"
trap end_session EXIT
export WAYLAND_DISPLAY=wayland-ovlix-test
start_system_bus || echo "     the stand-in system bus did not start"
# --debug lets weston-screenshooter take pictures
spawn weston.log weston --backend=headless-backend.so --use-pixman --width=1280 --height=800 \
  --socket="$WAYLAND_DISPLAY" --debug --idle-time=0
within 200 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || { echo "FAIL weston does not start (see $out/weston.log)"; exit 1; }
share_environment
shot() {  # weston-screenshooter writes wayland-screenshot-DATE.png into the current folder
  local d=$root/shot
  mkdir -p "$d" && (cd "$d" && weston-screenshooter >>"$out/screenshooter.log" 2>&1) &&
    mv "$d"/*.png "$out/$1.png" && echo "     screenshot $out/$1.png"
  rm -rf "$d"
}
source "$sessions_dir/wayland_checks.sh"

safe_settings
start_ovlix ovlix.log
check "the main window shows" within 300 a11y_shown "$caption"
check "the program draws the main window's frame: minimise and close, no maximise" own_frame
check "its app id is org.ovlix.Ovlix" main_toplevel
shot 01-main-window
check "the hotkey dialog says this desktop offers no global shortcuts" no_shortcuts_line
shot 02-hotkey-dialog
check "the close button of the dialog's own title bar closes it" close_hotkey_dialog
check "\"Ponechat jen v TrayIkonce\" without a tray minimises the window" hide_minimises
check "the program keeps its window and goes on" kept_window
shot 03-after-hide

finish
