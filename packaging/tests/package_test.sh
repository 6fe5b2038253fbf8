#!/usr/bin/env bash
# The Debian package as an operator gets it: built by cpack, installed with apt-get,
# its programs run from /usr/bin with the station under a throwaway HOME, its units and
# desktop files checked where they landed, then removed, leaving the machine's package
# list as it was. Needs root (or sudo); serialised under the CTest lock "dpkg".
# Usage: package_test.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
chmod 755 "$tmp"  # apt's sandbox user reads the package from here
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
apt_get() { $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -qq "$@"; }
installed=0
cleanup() {
  [ $installed -eq 1 ] && apt_get remove --purge radmon >/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=station_run.sh
source "$here/station_run.sh"

if dpkg-query -W -f='${Status}' radmon 2>/dev/null | grep -q "install ok installed"; then
  fail "radmon is already installed on this machine; remove it first"
fi
(cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) ||
  fail "cpack: $(cat "$tmp/cpack.log")"
deb=$(ls "$tmp"/pkg/radmon_*.deb) || fail "no package written"
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) kB"
dpkg-deb -f "$deb" Depends

dpkg-query -W -f='${Package} ${Version} ${Status}\n' | sort >"$tmp/before"
installed=1
apt_get install "$deb" >"$tmp/apt.log" 2>&1 || fail "apt-get install: $(cat "$tmp/apt.log")"
touch "$tmp/stamp"

for unit in /usr/lib/systemd/user/ratemon.service /usr/lib/systemd/user/dayplot.service; do
  systemd-analyze verify "$unit" || fail "systemd-analyze verify $unit"
done
desktop-file-validate /usr/share/applications/radmon-*.desktop || fail "desktop-file-validate"
[ -r /usr/share/doc/radmon/copyright ] || fail "no copyright file"
run_installed_programs /usr/bin

apt_get remove --purge radmon >"$tmp/apt.log" 2>&1 || fail "apt-get remove: $(cat "$tmp/apt.log")"
installed=0
dpkg-query -W -f='${Package} ${Version} ${Status}\n' | sort >"$tmp/after"
diff "$tmp/before" "$tmp/after" || fail "the package list differs after the removal"
for f in /usr/bin/ratemon /usr/bin/dayplot /usr/share/radmon /usr/lib/systemd/user/ratemon.service; do
  [ ! -e "$f" ] || fail "$f left behind"
done
echo "package test passed"
