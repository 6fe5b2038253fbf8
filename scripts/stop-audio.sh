#!/usr/bin/env bash
# Stops the test rig's sound servers that scripts/start-audio.sh and scripts/audio-slot
# started under one base folder (RADMON_AUDIO_DIR, or /tmp/radmon-audio): its own and
# those of the further slots, "$base-1" and on.
base=${RADMON_AUDIO_DIR:-/tmp/radmon-audio}
for dir in "$base" "$base"-[0-9]*; do
  pid_file=$dir/xdg/pulse/pid
  [ -f "$pid_file" ] || continue
  pid=$(cat "$pid_file" 2>/dev/null)
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
done
exit 0
