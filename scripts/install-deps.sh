#!/usr/bin/env bash
# Installs every Debian package needed to build, test and run the station.
# Idempotent: packages already present are skipped. Runs as root or via sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  qt6-base-dev qt6-multimedia-dev libqt6svg6
  libsndfile1-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipaexfont-gothic
  pulseaudio pulseaudio-utils libpulse-dev
  python3-pyftpdlib faketime libfaketime
  xvfb xauth x11-apps imagemagick
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && { echo "install-deps: all packages present"; exit 0; }

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
