#!/usr/bin/env bash
# Starts the test rig's sound server as PipeWire does it on a desktop: a D-Bus session
# bus, pipewire, wireplumber (the session manager, which links streams to devices) and
# pipewire-pulse (the PulseAudio server the station talks to), then loads the rig's sinks
# and inputs into pipewire-pulse with pactl from the same list the PulseAudio rig reads
# ($RADMON_AUDIO_DIR/radmon.pa). Run by scripts/start-audio.sh with its variables exported
# (RADMON_SOUND_SERVER=pipewire), and again by it whenever the PulseAudio server does not
# answer: only the parts that are not running are started.
#
# Everything lives under the rig's folder: the bus socket, the pid files, the logs and the
# configuration (XDG_CONFIG_HOME) in pipewire/, wireplumber's state (XDG_STATE_HOME) in
# state/, the sockets in xdg/. Nothing is read from $HOME or written to /etc.
# pipewire-pulse writes its own pid to $PULSE_RUNTIME_PATH/pid, as PulseAudio does: that
# is the process the rig's tests kill to take the server away. The sinks are
# pipewire-pulse's modules, so they go with it and come back when this loads them again.
set -u
RT=${RADMON_AUDIO_DIR:-/tmp/radmon-audio}
PW=$RT/pipewire
PATH=$PATH:/usr/sbin:/sbin  # start-stop-daemon, for users whose PATH lacks sbin
conf=$PW/config/wireplumber
mkdir -p "$conf/main.lua.d" "$conf/bluetooth.lua.d" "$RT/state"

# The daemons see only the rig: its bus, its sockets, its configuration and state.
export XDG_CONFIG_HOME=$PW/config XDG_STATE_HOME=$RT/state
export PIPEWIRE_RUNTIME_DIR=$XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS=unix:path=$PW/bus
unset PIPEWIRE_REMOTE PIPEWIRE_CONFIG_DIR WIREPLUMBER_CONFIG_DIR

# Named between Debian's 50-*-config.lua and 90-enable-all.lua, so that it is read after
# the defaults and before the monitors start. No real sound card, camera or Bluetooth
# device is taken (the rig has only its null sinks, and a desktop's cards stay the
# desktop's); streams are not sent back to where they were moved before, nor given their
# last volume, as the PulseAudio rig (which loads no stream-restore) does not.
cat >"$conf/main.lua.d/51-radmon-rig.lua" <<'LUA'
alsa_monitor.enabled = false
v4l2_monitor.enabled = false
libcamera_monitor.enabled = false
stream_defaults.properties["restore-target"] = false
stream_defaults.properties["restore-props"] = false
LUA
echo 'bluez_monitor.enabled = false' >"$conf/bluetooth.lua.d/51-radmon-rig.lua"

# Whether the process of pid file $2 is a live $1 (a stale pid may be anyone's by now;
# a zombie is not alive).
alive() {
  local pid
  pid=$(cat "$2" 2>/dev/null) || return 1
  [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$1" ] &&
    ! grep -q '^[0-9]* (.*) Z ' "/proc/$pid/stat" 2>/dev/null
}

# Ends the process of pid file $2 if it is a live $1, and waits for it (2 s at most).
end() {
  alive "$1" "$2" || return 0
  kill "$(cat "$2")" 2>/dev/null
  for _ in $(seq 20); do alive "$1" "$2" || return 0; sleep 0.1; done
}

# Starts program $2 (arguments after it) in the background as a session of its own, its
# pid in pipewire/$1.pid and its output in pipewire/$1.log.
launch() {
  local name=$1 program=$2
  shift 2
  rm -f "$PW/$name.pid"
  start-stop-daemon --start --background --make-pidfile --pidfile "$PW/$name.pid" \
    --output "$PW/$name.log" --chdir "$PW" --startas "$program" -- "$@"
}

# Waits up to 5 s for command "$@" to succeed.
wait_for() {
  for _ in $(seq 50); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

if ! alive dbus-daemon "$PW/dbus.pid"; then
  rm -f "$PW/bus"
  launch dbus /usr/bin/dbus-daemon --session --nofork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS"
  wait_for test -S "$PW/bus" || echo "audio: the D-Bus session bus did not start (see $PW/dbus.log)"
fi

if ! alive pipewire "$PW/pipewire.pid"; then
  # What was connected to a pipewire that is gone ends by itself; do not wait for it.
  end wireplumber "$PW/wireplumber.pid"
  end pipewire-pulse "$PW/pipewire-pulse.pid"
  rm -f "$XDG_RUNTIME_DIR/pipewire-0"
  launch pipewire /usr/bin/pipewire
  wait_for test -S "$XDG_RUNTIME_DIR/pipewire-0" ||
    echo "audio: pipewire did not start (see $PW/pipewire.log)"
fi

alive wireplumber "$PW/wireplumber.pid" || launch wireplumber /usr/bin/wireplumber

# Called because the PulseAudio server did not answer: one that runs but does not answer
# is stopped first.
end pipewire-pulse "$PW/pipewire-pulse.pid"
launch pipewire-pulse /usr/bin/pipewire-pulse
wait_for pactl info || echo "audio: pipewire-pulse did not start (see $PW/pipewire-pulse.log)"

# The rig's sinks and inputs, as PulseAudio loads them from radmon.pa; pipewire-pulse
# listens on the socket its own configuration names.
while read -r command args; do
  case $command in
    load-module)
      [ "${args%% *}" = module-native-protocol-unix ] && continue
      # shellcheck disable=SC2086  # the module's arguments, one word each
      pactl load-module $args >/dev/null || echo "audio: pipewire-pulse refused: $command $args"
      ;;
    set-default-sink | set-default-source)
      # Refused until wireplumber has made the server's "default" metadata.
      wait_for pactl "$command" "$args" || echo "audio: pipewire-pulse refused: $command $args"
      ;;
  esac
done <"$RT/radmon.pa"

# wireplumber makes the chosen defaults the server's: until it has, no stream would be
# linked to anything.
sink=$(sed -n 's/^set-default-sink //p' "$RT/radmon.pa")
source=$(sed -n 's/^set-default-source //p' "$RT/radmon.pa")
wait_for bash -c "[ \"\$(pactl get-default-sink)\" = '$sink' ] &&
  [ \"\$(pactl get-default-source)\" = '$source' ]" ||
  echo "audio: wireplumber did not take up the defaults (see $PW/wireplumber.log)"
exit 0
