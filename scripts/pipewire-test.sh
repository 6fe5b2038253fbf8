#!/usr/bin/env bash
# Runs the audio rig's tests of the normal build (build/, as scripts/test.sh leaves it) on
# PipeWire's PulseAudio server instead of PulseAudio (RADMON_SOUND_SERVER=pipewire;
# scripts/start-pipewire.sh), with sound servers and a temporary folder of this stage's
# own (RADMON_AUDIO_DIR, /tmp/radmon-audio-pipewire), so that .ci/run can run it beside
# the others. Builds nothing.
#   scripts/pipewire-test.sh          the tests that cover the server's own behaviour
#                                     (docs/testing.md says which and why)
#   scripts/pipewire-test.sh --all    every test on the rig
# Other arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
all=0
if [ "${1:-}" = "--all" ]; then
  all=1
  shift
fi
[ -d build ] || { echo "pipewire-test: no build/ (scripts/test.sh builds it)" >&2; exit 1; }

# The tests of what the server itself does: the program started before the server and
# before its input, the server killed and stopped, an input unloaded or the stream moved,
# an output's monitor as the input, the count of played pulses through the card (window
# and headless), the alarm on the default output. Left out: those whose further minutes
# check the station's own accounting once the server has done the same as above, and the
# Ctrl+C ends, whose fault lay in the order this process takes down its own connection.
subset='^(Rig/ServerAbsence\.TheCardAndTheAlarmComeBackWithTheServer/.*'
subset+='|ServerAbsence\.(HeadlessAndWindowComeBackAfterTheServerWasAway|HeadlessAlarmSoundsOnTheDefaultOutputUnlessSilent)'
subset+='|Rig/DeviceLoss\.IsToldAndRecordingResumesByItselfWithEveryPulseCounted/.*'
subset+='|DeviceLoss\.(DefaultIsTheServersDefaultInputWhenItIsNotListedFirst|SoundWithNoFreeBufferIsReportedAsDropped|TheWindowShowsTheLossAndResumesByItself)'
subset+='|SoundCardInput\..*|AlarmPlayerSound\..*)( |$)'  # a parameter's name follows a space

export RADMON_SOUND_SERVER=pipewire
export RADMON_AUDIO_DIR=${RADMON_AUDIO_DIR_PIPEWIRE:-/tmp/radmon-audio-pipewire}
export TMPDIR=${RADMON_TMPDIR_PIPEWIRE:-/tmp/radmon-tmp-pipewire}
rm -rf "$TMPDIR" && mkdir -p "$TMPDIR"
# shellcheck source=start-audio.sh
source scripts/start-audio.sh
trap "'$PWD/scripts/stop-audio.sh'" EXIT
cd build

# The rig's tests are those that take one of its sound servers (RESOURCE_GROUPS audio).
rig=$(ctest --show-only=json-v1 | /usr/bin/python3 -c '
import json, sys
for test in json.load(sys.stdin)["tests"]:
    if any(p["name"] == "RESOURCE_GROUPS" for p in test.get("properties", [])):
        print(test["name"])')
[ $all = 1 ] || rig=$(grep -E "$subset" <<<"$rig" || true)
if [ -z "$rig" ]; then
  echo "pipewire-test: no test on the audio rig in build/" >&2
  exit 1
fi
echo "pipewire-test: $(wc -l <<<"$rig") tests on PipeWire"
# CTest's names of parameterised tests go on with their parameter ("  # GetParam() = ..."):
# every character that means something in a regular expression is escaped.
names=$(sed 's/[][\\.*^$+?(){}|]/\\&/g' <<<"$rig" | paste -sd'|')
ctest --output-on-failure -j2 --timeout 600 --resource-spec-file ../scripts/audio-resources.json \
  -R "^($names)$" "$@"
