#!/usr/bin/env bash
# cmake --install into a throwaway DESTDIR: the files land where a desktop, man and
# systemd look for them, the desktop entries, metadata and units pass their validators,
# and the installed programs run with their station under a throwaway HOME.
# Usage: install_test.sh BUILD_DIR
set -uo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=station_run.sh
source "$here/station_run.sh"

dest="$tmp/dest"
DESTDIR="$dest" cmake --install "$build" --prefix /usr >"$tmp/install.log" ||
  fail "cmake --install: $(cat "$tmp/install.log")"
touch "$tmp/stamp"
usr="$dest/usr"
for f in bin/ratemon bin/dayplot bin/ftpscript bin/gmsim bin/radmon-collect \
  share/radmon/daiichi.wav share/radmon/daini.wav share/radmon/ijou.wav \
  share/doc/radmon/changelog.Debian.gz share/lintian/overrides/radmon \
  share/applications/radmon-ratemon.desktop share/applications/radmon-dayplot.desktop \
  share/icons/hicolor/scalable/apps/radmon-ratemon.svg \
  share/icons/hicolor/scalable/apps/radmon-dayplot.svg \
  share/metainfo/radmon-ratemon.metainfo.xml share/metainfo/radmon-dayplot.metainfo.xml \
  share/man/man1/ratemon.1.gz share/man/man1/dayplot.1.gz share/man/man1/ftpscript.1.gz \
  share/man/man1/gmsim.1.gz share/man/man1/radmon-collect.1.gz lib/systemd/user/ratemon.service lib/systemd/user/dayplot.service; do
  [ -e "$usr/$f" ] || fail "not installed: /usr/$f"
done

desktop-file-validate "$usr"/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$usr"/share/metainfo/*.xml || fail "appstreamcli validate"
for page in "$usr"/share/man/man1/*.1.gz; do
  warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $page: $warnings"
done
# The units name their programs bare, for systemd to find in /usr/bin; here they are
# checked against the copies in DESTDIR, and as installed by the package test.
for unit in "$usr"/lib/systemd/user/*.service; do
  sed "s|^ExecStart=\([a-z]*\)|ExecStart=$usr/bin/\1|" "$unit" >"$tmp/$(basename "$unit")"
  systemd-analyze verify --man=no "$tmp/$(basename "$unit")" || fail "systemd-analyze $unit"
done

run_installed_programs "$usr/bin"
echo "install test passed"
