# Sourced by the session tests: a private desktop session for one test.
# The first call of enter_session (outside) makes a temporary home, runtime
# folder and bus configuration and runs the test again inside its own
# dbus-run-session; inside, the helpers below start what the session needs
# and the trap ends all of it. Nothing reaches the real user's files, bus
# or system bus: the system bus is a private one with no services on it.

sessions_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tools=$sessions_dir/tools
# the system's Python, where python3-dbus and python3-gi put their modules
python=/usr/bin/python3
source "$sessions_dir/../checks.sh"

skip() {  # skip REASON: CTest counts status 77 as skipped
  echo "skip: $*"
  exit 77
}

need() {  # need PROGRAM...: skips the test when one is not installed
  local p
  for p in "$@"; do
    [ -x "$p" ] || command -v "$p" >/dev/null 2>&1 || skip "$p is not installed"
  done
}

# enter_session NAME OUT-DIR SCRIPT ARGS...: outside, prepares and runs SCRIPT
# inside a private session bus; inside, only sets the variables.
enter_session() {
  local name=$1
  out=$2
  shift 2
  if [ -n "${OVLIX_SESSION_ROOT:-}" ]; then
    root=$OVLIX_SESSION_ROOT
    exec 1>&3 3>&-  # the checks' lines to the test's output, the rest to session.log
    trap 'echo "FAIL the session ran out of time"; exit 1' TERM INT
    return 0
  fi
  rm -rf "$out"
  mkdir -p "$out"
  root=$(mktemp -d "/tmp/ovlix-$name-XXXXXX")
  mkdir -p "$root/home/.config" "$root/home/.local/share" "$root/home/.cache" "$root/run" "$root/services"
  chmod 700 "$root/run"
  # The session bus activates what the system offers, but no portal: each
  # test starts the portal itself, at the moment it means to.
  local f
  for f in /usr/share/dbus-1/services/*.service; do
    case $(basename "$f") in
      org.freedesktop.portal.Desktop.service | org.freedesktop.impl.portal.desktop.*) ;;
      *) ln -s "$f" "$root/services/" ;;
    esac
  done
  bus_config "$root/services" >"$root/session.conf"
  bus_config "" >"$root/system.conf"
  local rc=0
  env -u DBUS_SESSION_BUS_ADDRESS -u SESSION_MANAGER -u DISPLAY -u WAYLAND_DISPLAY \
    HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" XDG_DATA_HOME="$root/home/.local/share" \
    XDG_CACHE_HOME="$root/home/.cache" XDG_RUNTIME_DIR="$root/run" XDG_SESSION_TYPE=wayland \
    DBUS_SYSTEM_BUS_ADDRESS="unix:path=$root/system_bus" OVLIX_SESSION_ROOT="$root" \
    timeout -k 5 "${OVLIX_SESSION_SECONDS:-300}" \
    dbus-run-session --config-file="$root/session.conf" -- bash "$0" "$out" "$@" \
    3>&1 >>"$out/session.log" 2>&1 || rc=$?
  rm -rf "$root"
  exit "$rc"
}

bus_config() {  # bus_config SERVICE-DIR: a bus configuration, session-like
  cat <<END
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  ${1:+<servicedir>$1</servicedir>}
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
END
}

# Inside: every process started with `spawn` ends with the test, and the
# files named in cleanup_paths go.
pids=()
cleanup_paths=()
spawn() {  # spawn LOG COMMAND...: in the background; its pid in $last
  local log=$1
  shift
  "$@" >>"$out/$log" 2>&1 &
  last=$!
  pids+=("$last")
}
end_session() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  for _ in $(seq 20); do
    local left=0
    for p in "${pids[@]}"; do kill -0 "$p" 2>/dev/null && left=1; done
    [ "$left" -eq 0 ] && break
    sleep 0.1
  done
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  rm -f "${cleanup_paths[@]}"
}

# What the bus starts on demand (kactivitymanagerd, kglobalaccel, the
# accessibility bus) needs the compositor's display, as a desktop's
# session start hands it over.
share_environment() { dbus-update-activation-environment --all >/dev/null 2>&1; }

start_system_bus() {  # a stand-in system bus: nothing on it, so no power action can happen
  spawn system-bus.log dbus-daemon --config-file="$root/system.conf" --address="unix:path=$root/system_bus" --nofork
  within 50 test -S "$root/system_bus"
}

has_name() { dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
  org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'; }
alive() { kill -0 "$1" 2>/dev/null; }
gone() { ! alive "$1"; }

start_ovlix() {  # start_ovlix LOG: Ovlix on Wayland, its Wayland traffic in LOG; pid in $ovlix
  spawn "$1" env QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 WAYLAND_DEBUG=client "$prog"
  ovlix=$last
}

# A hotkey setting that binds no power or trash key: Ctrl+Q, Ctrl+R and
# Ctrl+Y stay free in every session these tests run.
safe_settings() {
  mkdir -p "$XDG_CONFIG_HOME/ovlix/windows"
  printf '[zkratky]\r\np5=\r\np6=\r\np7=\r\n' >"$XDG_CONFIG_HOME/ovlix/windows/Trelmo.ini"
}

finish() {
  echo "$name: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
