#!/usr/bin/env bash
# Builds the Debian package of the station (cpack -G DEB) into build/:
# build/radmon_<version>_<arch>.deb. Install it with
#   sudo apt-get install ./build/radmon_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd build
cpack -G DEB
ls -l "$PWD"/radmon_*.deb
