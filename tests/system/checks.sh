# Sourced by the system tests: counted checks and polling.

passed=0
failed=0

check() {  # check NAME COMMAND...
  local name=$1
  shift
  if "$@"; then
    echo "ok   $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name"
    failed=$((failed + 1))
  fi
}

within() {  # within TENTHS COMMAND...: true once COMMAND is, polled every 0.1 s
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do "$@" && return 0; sleep 0.1; done
  return 1
}

# A window mapped while the window manager starts up is not managed: the
# manager is ready once its mark is on the root window.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
