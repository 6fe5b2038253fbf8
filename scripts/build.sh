#!/usr/bin/env bash
# Configures and builds everything (Release) into build/; the program folder is build/bin.
# RADMON_WERROR=ON (set by scripts/test.sh) makes every compiler warning an error;
# RADMON_TESTS=ON and RADMON_BENCHMARKS=ON build the tests and the benchmarks as well
# (left as the build folder has them when unset; off in a new one).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=compiler-cache.sh
source scripts/compiler-cache.sh
use_ninja_for build
cmake -S . -B build "${cache_args[@]}" -DCMAKE_BUILD_TYPE=Release -DRADMON_WERROR="${RADMON_WERROR:-OFF}" \
  ${RADMON_TESTS:+-DBUILD_TESTING="$RADMON_TESTS"} \
  ${RADMON_BENCHMARKS:+-DRADMON_BENCHMARKS="$RADMON_BENCHMARKS"} >/dev/null
cmake --build build -j"$(nproc)"
