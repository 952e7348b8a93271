#!/usr/bin/env bash
# Installs what is missing, checks the code's layout, builds Ovlix with
# warnings as errors and runs every test: the unit and window tests, the
# system tests (the real program under a virtual X server) and each
# benchmark in its smoke mode, once in a normal build and once under
# AddressSanitizer and UndefinedBehaviorSanitizer; builds and checks the
# Debian package, then runs each fuzz target for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
jobs=$(nproc)

echo "== style"
# every C++ file as .clang-format lays it out (build folders left out)
if git rev-parse --git-dir >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h'
else
  find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0
fi | xargs -0 clang-format --dry-run -Werror

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVLIX_WERROR=ON -DOVLIX_TESTS=ON -DOVLIX_BENCH=ON
ninja -C build
(cd build && ctest --output-on-failure -j"$jobs")

echo "== package"
scripts/package.sh build

echo "== sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOVLIX_SANITIZE=ON -DOVLIX_WERROR=ON -DOVLIX_TESTS=ON -DOVLIX_BENCH=ON
ninja -C build-asan
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# the desktop sessions ran above; under the sanitizers their compositors
# would only take the time again
(cd build-asan && ctest --output-on-failure -j"$jobs" -LE session)

echo "== fuzzing"
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS=-Werror
ninja -C build-fuzz
for target in profile registry picture rich_text resx resx_icons resx_languages; do
  corpus=$(mktemp -d)
  seeds=$target
  [[ $target == resx_* ]] && seeds=resx  # the resx targets share their seeds
  cp fuzz/corpus/"$seeds"/* "$corpus"/
  rm -f build-fuzz/"$target"-*
  if ! build-fuzz/"$target"_fuzz -max_total_time="${OVLIX_FUZZ_SECONDS:-30}" \
      -artifact_prefix="$PWD/build-fuzz/$target-" "$corpus" >build-fuzz/"$target".log 2>&1; then
    tail -n 30 build-fuzz/"$target".log
    echo "fuzz $target: failed, the input is kept in build-fuzz/"
    exit 1
  fi
  done_line=$(grep -E '^Done' build-fuzz/"$target".log)  # "Done N runs in S second(s)"
  read -r _ runs _ _ seconds _ <<<"$done_line"
  echo "fuzz $target: $done_line, $((runs / seconds)) inputs a second"
  rm -rf "$corpus"
done
echo "fuzz: all targets ran clean"
