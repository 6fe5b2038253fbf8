#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize and runs the tests there but the slow ones. Any sanitizer report fails
# its test. The audio tests get a sound server of this stage's own
# (RADMON_AUDIO_DIR, /tmp/radmon-audio-sanitize), so that .ci/run can run this stage beside
# the others. `--build-only` builds and runs nothing; other arguments go to ctest
# (the programs that hold only slow tests are not built here).
#
# The slow tests (week-long replays, a faked week, a year of a clean tube sample by
# sample, a hundred kills, fifty uploads on a busy machine) repeat what the quicker tests
# run once: under the sanitizers they took about as long as all the others together and
# have never found anything the others did not (no address or undefined-behaviour fault
# in the project's code has been reported by this stage; docs/reliability.md). They run
# once, in the normal stage.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_only=0
if [ "${1:-}" = "--build-only" ]; then
  build_only=1
  shift
fi

# Leaks are checked, with the one-time allocations that fontconfig (loaded by Qt) never
# frees listed in scripts/lsan.supp. The options are
# set before the build too: test discovery runs the test binaries. The headless dayplot
# test starts the program with libfaketime preloaded, ahead of the ASan runtime, which
# is harmless but refused unless verify_asan_link_order is off.
# intercept_tls_get_addr is off because GCC 12's runtime takes a thread-local block that a
# loaded library's malloc happens to place 16 bytes past a page boundary for the header
# of a glibc older than 2.25 and reads the words before it: the leak check's tracer then
# dies at exit with "Tracer caught signal 11", now and then, after a test has passed.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:strict_string_checks=1:check_initialization_order=1:verify_asan_link_order=0:intercept_tls_get_addr=0"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# shellcheck source=compiler-cache.sh
source scripts/compiler-cache.sh
use_ninja_for build-sanitize
# -O1 with line tables only (-g1): reports keep their files and lines, and a unit
# compiles in about 70 % of the time it takes at -O2 -g; the test programs' own units
# compile at -Og without UndefinedBehaviorSanitizer (CMakeLists.txt), in half the time.
# GCC's flow warnings differ at -O1 and -Og (-Wformat-truncation where -O2 sees none), so
# here warnings are shown, not errors: the normal build (scripts/test.sh) keeps them errors.
cmake -S . -B build-sanitize "${cache_args[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DRADMON_SANITIZE=ON \
  -DBUILD_TESTING=ON -DRADMON_WERROR=OFF >/dev/null
# The build gives way to the tests of the stages beside it.
nice -n 10 cmake --build build-sanitize -j"$(nproc)"
[ $build_only = 1 ] && exit 0
export RADMON_AUDIO_DIR=${RADMON_AUDIO_DIR_SANITIZE:-/tmp/radmon-audio-sanitize}
# A temporary folder of its own too: a few tests use fixed names under it.
export TMPDIR=/tmp/radmon-tmp-sanitize
rm -rf "$TMPDIR" && mkdir -p "$TMPDIR"
# shellcheck source=start-audio.sh
source scripts/start-audio.sh
trap "'$PWD/scripts/stop-audio.sh'" EXIT
cd build-sanitize
labels=(-LE '^slow$')
for arg in "$@"; do [ "$arg" = "-L" ] && labels=(); done
ctest --output-on-failure -j3 --timeout 900 --resource-spec-file ../scripts/audio-resources.json \
  "${labels[@]}" "$@"
