#!/usr/bin/env bash
# Starts a private PulseAudio server for tests that record and play sound: a null sink
# radmon_sink whose monitor is the default input radmon_mic (tests play tube pulses into
# it), and a second null sink radmon_speaker as the default output, where alarms go, so
# that an alarm never feeds back into the count; its monitor is the input
# radmon_speaker_mic for tests that listen to the alarms. Source this file: it exports
# the variables that point Qt and the pulse tools at the server.
# RADMON_SOUND_SERVER=pipewire serves the same sinks and inputs from PipeWire's
# PulseAudio server instead (scripts/start-pipewire.sh); the default is pulseaudio.
RT=${RADMON_AUDIO_DIR:-/tmp/radmon-audio}
mkdir -p "$RT/xdg" && chmod 700 "$RT/xdg"
export XDG_RUNTIME_DIR=$RT/xdg PULSE_RUNTIME_PATH=$RT/xdg/pulse PULSE_STATE_PATH=$RT/state
export PULSE_SERVER=unix:$PULSE_RUNTIME_PATH/native
if ! pactl info >/dev/null 2>&1; then
  cat > "$RT/radmon.pa" <<'PA'
load-module module-native-protocol-unix auth-anonymous=1
load-module module-null-sink sink_name=radmon_sink rate=22050 channels=1 format=u8
load-module module-remap-source master=radmon_sink.monitor source_name=radmon_mic
load-module module-null-sink sink_name=radmon_speaker rate=22050 channels=1 format=u8
load-module module-remap-source master=radmon_speaker.monitor source_name=radmon_speaker_mic
set-default-sink radmon_speaker
set-default-source radmon_mic
PA
  case ${RADMON_SOUND_SERVER:-pulseaudio} in
    pipewire)
      export PIPEWIRE_RUNTIME_DIR=$XDG_RUNTIME_DIR  # pw-cli and the like find the rig's
      "$(dirname "${BASH_SOURCE[0]}")/start-pipewire.sh"
      ;;
    pulseaudio)
      pulseaudio --daemonize=yes -n -F "$RT/radmon.pa" --exit-idle-time=-1 \
        --log-target=file:"$RT/pa.log" 2>/dev/null || true
      for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
      ;;
    *) echo "audio: RADMON_SOUND_SERVER is pulseaudio or pipewire, not '$RADMON_SOUND_SERVER'" ;;
  esac
fi
if pactl info >/dev/null 2>&1; then
  echo "audio: $(pactl info | sed -n 's/^Server Name: //p') ready at $PULSE_SERVER"
else
  echo "audio: the sound server did not start (see $RT/pa.log or $RT/pipewire/*.log)"
fi
