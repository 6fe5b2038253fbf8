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
  share/metainfo/org.radmon.ratemon.metainfo.xml share/metainfo/org.radmon.dayplot.metainfo.xml \
  share/man/man1/ratemon.1.gz share/man/man1/dayplot.1.gz share/man/man1/ftpscript.1.gz \
  share/man/man1/gmsim.1.gz share/man/man1/radmon-collect.1.gz lib/systemd/user/ratemon.service lib/systemd/user/dayplot.service; do
  [ -e "$usr/$f" ] || fail "not installed: /usr/$f"
done

desktop-file-validate "$usr"/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$usr"/share/metainfo/*.xml || fail "appstreamcli validate"
# The tree as installed: each file named after its component's id, its launchable there.
appstreamcli validate-tree --no-net "$dest" || fail "appstreamcli validate-tree"
# The set-up guide: the station's sections of the README, the services and linger in them.
guide="$usr/share/doc/radmon/setup-guide.md"
for words in 'systemctl --user enable --now ratemon.service' 'loginctl enable-linger' \
  'ratemon --set tube_sensitivity=' '## Live readings over MQTT'; do
  grep -qF -- "$words" "$guide" || fail "the set-up guide lacks: $words"
done
# The man pages tell the services, linger and every setting key, as --show-settings lists them.
for program in ratemon dayplot; do
  page=$(LC_ALL=C MANWIDTH=1000 man -l "$usr/share/man/man1/$program.1.gz" 2>/dev/null |
    col -b | tr -s ' \n' '  ')
  for words in SERVICES SETTINGS "systemctl --user enable --now $program.service" \
    'loginctl enable-linger' language; do
    grep -qF -- "$words" <<<"$page" || fail "man $program lacks: $words"
  done
done
grep -qF 'cps/mR/h' <<<"$(LC_ALL=C man -l "$usr/share/man/man1/ratemon.1.gz" 2>/dev/null)" ||
  fail "man ratemon does not give the unit of tube_sensitivity"
# The copyright file names the licence and every program the package holds.
copyright="$usr/share/doc/radmon/copyright"
grep -q '^License: ' "$copyright" || fail "the copyright file names no licence"
for program in ratemon dayplot ftpscript gmsim radmon-collect; do
  grep -qw "$program" "$copyright" || fail "the copyright file does not name $program"
done
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
