#!/usr/bin/env bash
# Installs every Debian package needed to build, test and run the station.
# Idempotent: packages already present are skipped. Runs as root or via sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git ccache ninja-build lld
  qt6-base-dev qt6-multimedia-dev libqt6svg6 qt6-svg-dev
  libsndfile1-dev libcurl4-openssl-dev libxcb1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipaexfont-gothic
  pulseaudio pulseaudio-utils libpulse-dev
  pipewire pipewire-pulse wireplumber dbus-daemon
  python3-pyftpdlib faketime libfaketime
  libssl-dev openssl vsftpd openssh-server openssh-sftp-server libsodium23
  libhiredis0.14 libmemcached11 libmemcachedutil2 libpcre2-posix3
  xvfb xauth x11-apps imagemagick
  clang libclang-rt-14-dev clang-format
  mosquitto mosquitto-clients libmosquitto-dev nlohmann-json3-dev
  qt6-tools-dev qt6-l10n-tools
  desktop-file-utils appstream systemd man-db dpkg-dev
  locales
  qt6-httpserver-dev qt6-websockets-dev libssh-dev tidy lintian debootstrap
  chromium chromium-driver python3-selenium prometheus
)

# pure-ftpd conflicts with vsftpd as "the" FTP server of a machine, so the tests run it
# from its Debian package unpacked here instead of installed.
PURE_FTPD_DIR=/opt/radmon-test/pure-ftpd

unpack_pure_ftpd() {
  [ -x "$PURE_FTPD_DIR/usr/sbin/pure-ftpd" ] && return 0
  local work
  work=$(mktemp -d)
  chmod 755 "$work"  # apt fetches as its own user
  (cd "$work" && apt-get download pure-ftpd >/dev/null)
  $SUDO mkdir -p "$PURE_FTPD_DIR"
  $SUDO dpkg-deb -x "$work"/pure-ftpd_*.deb "$PURE_FTPD_DIR"
  rm -rf "$work"
  echo "install-deps: pure-ftpd unpacked into $PURE_FTPD_DIR"
}

# proftpd conflicts with vsftpd too; its libraries above are installed, the program
# unpacked here (the tests start it with a configuration of their own).
PROFTPD_DIR=/opt/radmon-test/proftpd

unpack_proftpd() {
  [ -x "$PROFTPD_DIR/usr/sbin/proftpd" ] && return 0
  local work
  work=$(mktemp -d)
  chmod 755 "$work"
  (cd "$work" && apt-get download proftpd-core >/dev/null)
  $SUDO mkdir -p "$PROFTPD_DIR"
  $SUDO dpkg-deb -x "$work"/proftpd-core_*.deb "$PROFTPD_DIR"
  rm -rf "$work"
  echo "install-deps: proftpd unpacked into $PROFTPD_DIR"
}

# The locale test runs the programs under a German locale (decimal commas).
generate_german_locale() {
  locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8' && return 0
  $SUDO sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
  echo "install-deps: locale de_DE.UTF-8 generated"
}

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  unpack_pure_ftpd
  unpack_proftpd
  generate_german_locale
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# A package left half set up (an install that was stopped) blocks every later install.
$SUDO dpkg --configure -a
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
unpack_pure_ftpd
unpack_proftpd
generate_german_locale
