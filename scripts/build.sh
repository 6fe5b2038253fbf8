#!/usr/bin/env bash
# Configures and builds everything (Release) into build/; the program folder is build/bin.
# RADMON_WERROR=ON (set by scripts/test.sh) makes every compiler warning an error.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DRADMON_WERROR="${RADMON_WERROR:-OFF}" >/dev/null
cmake --build build -j"$(nproc)"
