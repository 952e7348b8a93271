# Sourced by the session tests of desktops without global shortcuts or a
# tray (weston, GNOME before 48): the checks they share, made on the
# program's own Wayland requests (its WAYLAND_DEBUG log, ovlix.log) and on
# its accessible widgets. Needs $caption, $ovlix and $out.

atspi() { "$python" "$tools/atspi.py" "$ovlix" "$@" 2>>"$out/atspi.log"; }
a11y_shown() { atspi find "$1" >/dev/null; }
requests() { sed -n "$((${1:-0} + 1)),\$p" "$out/ovlix.log"; }
# the id of the main window's xdg_toplevel, from its set_title request
main_toplevel_id() {
  requests | grep -F ".set_title(\"$caption\")" | grep -o 'xdg_toplevel@[0-9]*' | tail -n 1
}
main_toplevel() {  # the main window's toplevel carries the app id
  local id
  id=$(main_toplevel_id)
  [ -n "$id" ] && requests | grep -q -F "$id.set_app_id(\"org.ovlix.Ovlix\")"
}
# The desktop leaves the frames to the program: Qt draws none around the
# fixed-size main window (its window geometry is its fixed size, where Qt's
# frame with its maximise button would add margins), and the program's own
# title bar carries the minimise and close buttons.
own_frame() {
  local id size
  id=$(main_toplevel_id)
  size=$(requests | grep -F "$id.set_min_size(" | tail -n 1 | sed 's/.*set_min_size(\(.*\))/\1/')
  [ -n "$size" ] && echo "     fixed size $size" &&
    requests | grep -q -F "set_window_geometry(0, 0, $size)" &&
    atspi find Minimalizovat >/dev/null && atspi find Zavřít >/dev/null
}
hide_minimises() {
  local id mark
  id=$(main_toplevel_id)
  mark=$(wc -l <"$out/ovlix.log")
  [ -n "$id" ] && atspi press "Ponechat jen v TrayIkonce" >/dev/null || return 1
  hidden_mark=$mark
  within 50 eval 'requests "$mark" | grep -q -F "$id.set_minimized()"'
}
kept_window() {  # the main window was not taken down: the program can be brought back
  local id
  id=$(main_toplevel_id)
  sleep 1
  alive "$ovlix" && ! requests "$hidden_mark" | grep -q -F "$id.destroy()"
}
no_shortcuts_line() {
  # the menu item opens a modal dialog: the press returns when it closes
  timeout 30 "$python" "$tools/atspi.py" "$ovlix" press "Nastavení klávesových zkratek" >>"$out/atspi.log" 2>&1 &
  pids+=($!)
  within 100 a11y_shown "Toto prostředí nenabízí globální klávesové zkratky." || return 1
  echo "     the line is a $(atspi find "Toto prostředí nenabízí globální klávesové zkratky.")"
}
close_hotkey_dialog() {  # by the close button of the dialog's own title bar
  atspi press Zavřít "Nastavení klávesových zkratek" >/dev/null &&
    within 50 eval '! a11y_shown "Toto prostředí nenabízí globální klávesové zkratky."'
}
