#!/usr/bin/env bash
# Stops the test rig's sound servers that scripts/start-audio.sh and scripts/audio-slot
# started under one base folder (RADMON_AUDIO_DIR, or /tmp/radmon-audio): its own and
# those of the further slots, "$base-1" and on. A PipeWire rig's processes all end:
# pipewire-pulse, wireplumber, pipewire and its D-Bus session bus. A pid file left by a
# server that died may name another program by now: only the rig's own are ended.
base=${RADMON_AUDIO_DIR:-/tmp/radmon-audio}
ended=()
for dir in "$base" "$base"-[0-9]*; do
  for pid_file in "$dir/xdg/pulse/pid" "$dir"/pipewire/{pipewire-pulse,wireplumber,pipewire,dbus}.pid; do
    [ -f "$pid_file" ] || continue
    pid=$(cat "$pid_file" 2>/dev/null)
    [ -n "$pid" ] || continue
    case $(cat "/proc/$pid/comm" 2>/dev/null) in
      pulseaudio | pipewire-pulse | wireplumber | pipewire | dbus-daemon)
        kill "$pid" 2>/dev/null && ended+=("$pid") ;;
    esac
  done
done
# Gone before a new start in the same folder looks for them (2 s at most).
for _ in $(seq 20); do
  running=0
  for pid in "${ended[@]}"; do
    [ -e "/proc/$pid" ] && ! grep -q '^[0-9]* (.*) Z ' "/proc/$pid/stat" 2>/dev/null && running=1
  done
  [ $running = 0 ] && break
  sleep 0.1
done
exit 0
