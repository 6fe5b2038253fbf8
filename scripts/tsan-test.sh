#!/usr/bin/env bash
# Builds the tests whose code runs threads with ThreadSanitizer into build-tsan and runs
# them: MQTT's network thread beside the recording (the publisher, ratemon --headless
# --mqtt, the window's MQTT link, radmon-collect) and the sound server's callbacks beside
# the recording (the sound-card tests, on the audio rig of scripts/start-audio.sh). Any
# race report fails its test. --no-audio leaves the sound-card tests out; other
# arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
labels='^threads'
if [ "${1:-}" = "--no-audio" ]; then
  labels='^threads$'
  shift
fi

# Qt, libmosquitto and libpulse are not built with ThreadSanitizer: what they do inside
# is listed in scripts/tsan.supp (see there), never the project's own code. The options
# are set before the build too: test discovery runs the test binaries.
export TSAN_OPTIONS="suppressions=$root/scripts/tsan.supp:halt_on_error=1:second_deadlock_stack=1:die_after_fork=0"

# shellcheck source=compiler-cache.sh
source scripts/compiler-cache.sh
use_ninja_for build-tsan
# -O1 with line tables only (-g1), warnings shown, not errors: as in
# scripts/sanitize-test.sh, and for the same reasons.
cmake -S . -B build-tsan "${cache_args[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DRADMON_TSAN=ON \
  -DBUILD_TESTING=ON -DRADMON_WERROR=OFF >/dev/null
# The build gives way to the tests of the stages beside it.
nice -n 15 cmake --build build-tsan -j"$(nproc)" --target thread_tests
# A temporary folder of its own: a few tests use fixed names under it.
export TMPDIR=/tmp/radmon-tmp-tsan
rm -rf "$TMPDIR" && mkdir -p "$TMPDIR"
if [ "$labels" = '^threads' ]; then
  # A sound server of this stage's own, so that .ci/run can run it beside the others.
  export RADMON_AUDIO_DIR=${RADMON_AUDIO_DIR_TSAN:-/tmp/radmon-audio-tsan}
  # shellcheck source=start-audio.sh
  source scripts/start-audio.sh
  trap "'$PWD/scripts/stop-audio.sh'" EXIT
fi
cd build-tsan
# Its tests run last in CI, on an otherwise idle machine, and most of them wait on sound
# played in real time: three on the rig's servers and two others at once (with two and
# two, the rig held both places and the others ran after it).
ctest --output-on-failure -j5 --timeout 900 \
  --resource-spec-file ../scripts/audio-resources-tsan.json -L "$labels" "$@"
