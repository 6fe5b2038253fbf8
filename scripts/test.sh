#!/usr/bin/env bash
# Installs what is missing, builds, starts the services the tests use and runs every
# test. The FTP tests start their own server on 127.0.0.1.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
RADMON_WERROR=ON scripts/build.sh
# shellcheck source=start-audio.sh
source scripts/start-audio.sh
cd build
ctest --output-on-failure -j2 --timeout 600
