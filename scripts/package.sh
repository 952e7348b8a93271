#!/usr/bin/env bash
# Builds the Debian package and its debug symbols' package from a build
# folder (cpack) and checks it as Debian would: lintian, pedantic and with
# every tag shown, reports no error and no warning and finds no override;
# hardening-check passes each program. In CI (CI=true, as root) the package
# is also installed with apt, tried, and purged again, leaving no file
# behind.
# Usage: scripts/package.sh [BUILD-DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")

rm -f "$build"/ovlix_*.deb "$build"/ovlix-dbgsym_*.ddeb
if ! made=$(cd "$build" && cpack -G DEB 2>&1); then
  echo "$made"
  echo "package: cpack failed"
  exit 1
fi
deb=$(ls "$build"/ovlix_*_amd64.deb)
echo "package: $deb"
ls "$build"/ovlix-dbgsym_*_amd64.ddeb >/dev/null || { echo "package: no debug symbols' package"; exit 1; }
report=$(lintian -EvIL +pedantic --tag-display-limit 0 "$deb" 2>&1) || true
echo "$report" | grep -E '^[EWIPO]: ' || true
if grep -qE '^[EW]: |^O: ' <<<"$report"; then
  echo "package: lintian reports errors, warnings or overrides"
  exit 1
fi
echo "package: lintian reports no error, no warning and no override"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
hardening-check "$unpacked"/usr/lib/ovlix/{ovlix,ovlix-resx,ovlix-folderlock} || {
  echo "package: a program is not built hardened"
  exit 1
}
echo "package: every program is built hardened"

if [ "${CI:-}" != true ] || [ "$(id -u)" -ne 0 ]; then
  exit 0
fi
if dpkg-query -W -f='${Status}' ovlix 2>/dev/null | grep -q "install ok installed"; then
  echo "package: ovlix is installed on this machine already; not tried"
  exit 0
fi
files=$(dpkg-deb -c "$deb" | awk '{print substr($6, 2)}' | grep -v '/$')
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null 2>&1
ovlix-resx --help >/dev/null
[ "$(readlink -f /usr/bin/ovlix)" = /usr/lib/ovlix/ovlix ]
man -w ovlix-resx >/dev/null
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq ovlix >/dev/null 2>&1
left=""
for f in $files /usr/lib/ovlix /usr/share/ovlix; do
  if [ -e "$f" ] || [ -L "$f" ]; then left+=" $f"; fi
done
[ -z "$left" ] || { echo "package: files left after purge:$left"; exit 1; }
echo "package: installs with apt, runs, and purges without leaving a file"
