# Sourced by the shell benchmarks: their smoke mode (OVLIX_BENCH_SMOKE=1, as
# the test command runs them), one round over a small input with peers that
# are not installed left out, as bench/smoke.h gives the C++ ones.

smoke=false
case ${OVLIX_BENCH_SMOKE:-0} in 0 | "") ;; *) smoke=true ;; esac

sized() {  # sized FULL SMOKE: the value for this run
  if $smoke; then echo "$2"; else echo "$1"; fi
}

# peer_at_hand COMMAND PACKAGE: whether a peer the benchmark compares with is
# installed. A missing one ends a full run; a smoke run says so and goes on.
peer_at_hand() {
  command -v "$1" >/dev/null && return 0
  if ! $smoke; then
    echo "$1 is missing (apt-get install $2)" >&2
    exit 1
  fi
  echo "smoke run: $1 ($2) is not installed, its side is left out"
  return 1
}
