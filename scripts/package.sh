#!/usr/bin/env bash
# Builds the Debian package of the station (cpack -G DEB) into build/:
# build/radmon_<version>_<arch>.deb, from the hardened Release build, and has lintian
# check it (no error or warning passes). Install it with
#   sudo apt-get install ./build/radmon_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd build
rm -f radmon_*.deb  # an older version's package would be checked and listed too
cpack -G DEB
lintian --fail-on error,warning --tag-display-limit 0 radmon_*.deb
ls -l "$PWD"/radmon_*.deb
