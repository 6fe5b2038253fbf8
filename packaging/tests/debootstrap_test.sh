#!/usr/bin/env bash
# The package on a Debian 12 machine that never saw this project: cpack builds it,
# lintian finds nothing to say (no error, no warning), debootstrap makes a minimal
# bookworm root from the mirror this machine's apt uses, apt-get installs the package
# there with only what it depends on, and inside that root the station is set up,
# ratemon records a simulated tube's WAV headless and dayplot draws the day as a JPEG.
# The root is removed at the end, also after a failure. Needs root (chroot, mount).
# Usage: debootstrap_test.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
started=$SECONDS
[ "$(id -u)" -eq 0 ] || {
  echo "FAIL: debootstrap_test.sh needs root (debootstrap, chroot, mount)" >&2
  exit 1
}
tmp=$(mktemp -d "${TMPDIR:-/var/tmp}/radmon-debootstrap.XXXXXX")
root="$tmp/root"
mounted=()
cleanup() {
  local m
  for m in "${mounted[@]}"; do umount -l "$m" 2>/dev/null; done
  rm -rf --one-file-system "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "debootstrap test: $* ($((SECONDS - started)) s)"; }

# The package, and what lintian says of it.
(cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) ||
  fail "cpack: $(cat "$tmp/cpack.log")"
deb=$(ls "$tmp"/pkg/radmon_*.deb) || fail "no package written"
step "built $(basename "$deb")"
lintian --fail-on error,warning --tag-display-limit 0 "$deb" ||
  fail "lintian found errors or warnings in $(basename "$deb")"
step "lintian clean"

# The Debian mirror of this machine's apt (one-line or deb822 sources), and its security
# archive when it has one.
sources() { cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
  /etc/apt/sources.list.d/*.sources 2>/dev/null; }
mirror=$(sources | grep -oE 'https?://[^ ]*/debian/?( |$)' | head -n 1 | tr -d ' ')
security=$(sources | grep -oE 'https?://[^ ]*/debian-security/?( |$)' | head -n 1 | tr -d ' ')
[ -n "$mirror" ] || fail "no Debian mirror in /etc/apt/sources.list*"
# The packages fetched are kept for the next run (debootstrap's own cache and apt's
# archives of the root), so a second run fetches only the indexes and what changed.
cache=${RADMON_DEBOOTSTRAP_CACHE:-/var/cache/radmon-test/debootstrap}
mkdir -p "$cache/base" "$cache/archives"
debootstrap --variant=minbase --cache-dir="$cache/base" bookworm "$root" "$mirror" \
  >"$tmp/debootstrap.log" 2>&1 ||
  fail "debootstrap from $mirror: $(tail -n 20 "$tmp/debootstrap.log")"
step "bookworm root from $mirror"
{
  echo "deb $mirror bookworm main"
  echo "deb $mirror bookworm-updates main"
  [ -z "$security" ] || echo "deb $security bookworm-security main"
} >"$root/etc/apt/sources.list"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
for m in proc dev; do
  mount --bind "/$m" "$root/$m" || fail "cannot mount /$m in the root"
  mounted=("$root/$m" "${mounted[@]}")
done

# Inside the root: the package with what it depends on and nothing it recommends.
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
cp "$deb" "$root/tmp/"
find "$cache/archives" -name '*.deb' -exec cp -t "$root/var/cache/apt/archives/" {} +
in_root apt-get -qq update >"$tmp/apt.log" 2>&1 || fail "apt-get update: $(cat "$tmp/apt.log")"
in_root sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
  --no-install-recommends ./$(basename "$deb")" >"$tmp/apt.log" 2>&1 ||
  fail "apt-get install: $(tail -n 30 "$tmp/apt.log")"
# What this install used, and no older versions, stays for the next run.
find "$cache/archives" -name '*.deb' -delete
find "$root/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -t "$cache/archives/" {} +
step "installed"

# The package explains itself: the set-up guide, the services in the man pages, the
# AppStream metadata named after its ids.
[ -s "$root/usr/share/doc/radmon/setup-guide.md" ] || fail "no set-up guide in /usr/share/doc/radmon"
for program in ratemon dayplot; do
  zcat "$root/usr/share/man/man1/$program.1.gz" | grep -q '^\.SH SERVICES' ||
    fail "man $program has no SERVICES section"
done
appstreamcli validate-tree --no-net "$root" >"$tmp/appstream.log" 2>&1 ||
  fail "appstreamcli validate-tree: $(cat "$tmp/appstream.log")"
step "guide, man pages and AppStream metadata"

# A station set up and run as an operator would without a screen.
station=/root/station
in_root ratemon --station "$station" --create --set tube_sensitivity=18 >/dev/null ||
  fail "ratemon --set tube_sensitivity=18 failed"
in_root ratemon --station "$station" --show-settings | grep -qx 'tube_sensitivity=18' ||
  fail "ratemon --show-settings does not show the sensitivity set"
in_root gmsim --cpm 30 --seconds 180 --seed 7 --out /tmp/tube.wav >/dev/null ||
  fail "gmsim could not write the tube's recording"
in_root ratemon --station "$station" --headless --input /tmp/tube.wav --fast \
  --start "2026-01-02 00:00:00" >"$tmp/ratemon.out" 2>"$tmp/ratemon.err" ||
  fail "ratemon --headless failed: $(cat "$tmp/ratemon.err")"
day="$root$station/data/μSVHData20260102.csv"
[ "$(wc -l <"$day" 2>/dev/null || echo 0)" -ge 1 ] ||
  fail "no minute recorded in $day: $(cat "$tmp/ratemon.err")"
in_root dayplot --station "$station" --process 20260102 2>"$tmp/dayplot.err" ||
  fail "dayplot --process failed: $(cat "$tmp/dayplot.err")"
graph="$root$station/data/μSVHGraph_20260102.jpg"
[ "$(head -c 3 "$graph" 2>/dev/null | od -An -tx1 | tr -d ' ')" = ffd8ff ] ||
  fail "no JPEG day graph at $graph"
step "recorded $(wc -l <"$day") minutes and drew them"

# The station's language goes over the locale, which a minimal root (and a user
# service) leaves unset.
in_root ratemon --station "$station" --set language=en >/dev/null ||
  fail "ratemon --set language=en failed"
in_root ratemon --station "$station" --headless 2>"$tmp/language.err"
grep -q 'needs --input SOURCE' "$tmp/language.err" ||
  fail "a headless run without a locale did not speak English: $(cat "$tmp/language.err")"
step "language=en honoured without a locale"
echo "debootstrap test passed in $((SECONDS - started)) s"
