#!/usr/bin/env bash
# Installs what is missing, builds the programs, tests and benchmarks, starts the
# services the tests use and runs every test. The FTP tests start their own server on
# 127.0.0.1.
#   scripts/test.sh --quick   builds the programs and tests and runs the unit-labelled
#                             tests only: no sound server, no FTP/SSH server, no broker,
#                             none of the real programs
# Other arguments go to ctest (e.g. -L services, -LE slow, -R Scheduler).
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
if [ "${1:-}" = "--quick" ]; then
  quick=1
  shift
fi
scripts/install-deps.sh
if [ $quick = 1 ]; then
  RADMON_WERROR=ON RADMON_TESTS=ON scripts/build.sh
else
  RADMON_WERROR=ON RADMON_TESTS=ON RADMON_BENCHMARKS=ON scripts/build.sh
fi
cd build
# Each test is unit, services or slow (add_room_test in CMakeLists.txt); one with none
# of them would be left out of every chosen run.
unlabelled=$(ctest -N -LE '^(unit|services|slow)$' | sed -n 's/^ *Test *#[0-9]*: //p')
if [ -n "$unlabelled" ]; then
  echo "test: tests without the label unit, services or slow:" >&2
  echo "$unlabelled" >&2
  exit 1
fi
# Most tests wait (on servers, on sound played in real time), so twice as many as there
# are cores run at once; the unit tests are in-process and quick.
jobs=$(($(nproc) * 2))
if [ $quick = 1 ]; then
  ctest --output-on-failure -j"$jobs" --timeout 120 -L '^unit$' "$@"
  exit
fi
cd ..
# shellcheck source=start-audio.sh
source scripts/start-audio.sh
trap "'$PWD/scripts/stop-audio.sh'" EXIT
cd build
ctest --output-on-failure -j"$jobs" --timeout 600 \
  --resource-spec-file ../scripts/audio-resources.json "$@"
