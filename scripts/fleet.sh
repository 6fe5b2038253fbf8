#!/usr/bin/env bash
# A fleet of simulated stations on one broker: starts a mosquitto on 127.0.0.1 at a free
# port, the collector radmon-collect, and N headless ratemon stations, each in a station
# folder of its own replaying a simulated day (--fast) and publishing to
# radmon/fleet/stNN. The collector writes what it receives into FOLDER/collected/stNN/data/,
# laid out like a station, so dayplot copied there draws any station's day. At the end
# every station's day files are compared with the collector's, and the figures printed.
# The broker runs on mosquitto's defaults (its queue for a client keeps 1000 messages): what
# it drops while the collector lags is asked of the stations again, so after their replay
# each station runs a while in real time (writing no record) to answer.
#
#   scripts/fleet.sh [N] [SECONDS] [FOLDER] [GIVE_UP]
#   (defaults: 5 stations, 86400 s, ./fleet, the collector's --give-up of 600 s)
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-5}
seconds=${2:-86400}
root=$(realpath -m "${3:-fleet}")
giveUp=${4:-600}
bin=$PWD/build/bin
[ -x "$bin/ratemon" ] && [ -x "$bin/radmon-collect" ] || scripts/build.sh

rm -rf "$root"
mkdir -p "$root/broker" "$root/collected"
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$root/broker/mosquitto.conf" <<CONF
user $(id -un)
listener $port 127.0.0.1
allow_anonymous true
log_dest file $root/broker/broker.log
CONF
mosquitto -c "$root/broker/mosquitto.conf" 2>/dev/null &
broker=$!
collector=
cleanup() {
  [ -n "$collector" ] && kill "$collector" 2>/dev/null && wait "$collector" 2>/dev/null
  kill "$broker" 2>/dev/null && wait "$broker" 2>/dev/null
  return 0
}
trap cleanup EXIT
for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null && break; sleep 0.05; done

cpuTicks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

# CPU seconds and the most memory (kB) of the collector's first run, in collect.time.
/usr/bin/time -o "$root/collect.time" -f '%U %S %M' \
  "$bin/radmon-collect" --mqtt "mqtt://127.0.0.1:$port/radmon/fleet" --out "$root/collected" \
  --idle 5 --give-up "$giveUp" 2> "$root/collect.log" &
collector=$!
sleep 0.5

# Yesterday in full, as the demo replays it.
start="$(date -d '2 days ago' +%Y-%m-%d) 23:59:59"
echo "fleet: $n stations replay $seconds s each into mqtt://127.0.0.1:$port/radmon/fleet"
begin=$(date +%s.%N)
pids=()
for i in $(seq -f %02g 1 "$n"); do
  station="$root/st$i"
  mkdir -p "$station/data"
  cp "$bin/ratemon" "$station/"
  printf '"50","3","10","18","0.8","2.7","%s/data/μSVHData_nnnntthh.csv",1,1,1,"0"\r\n' \
    "$station" > "$station/ratemon.ini"
  # Tubes of different rates, so no two stations write the same day.
  cpm=$((15 + 10#$i % 10))
  (
    cd "$station"
    /usr/bin/time -o cpu.txt -f '%U %S %M' ./ratemon --headless --input "sim:$cpm" --fast \
      --start "$start" --seconds "$seconds" --mqtt "mqtt://127.0.0.1:$port/radmon/fleet/st$i" \
      > replay.txt 2> err.txt
  ) &
  pids+=($!)
done
for p in "${pids[@]}"; do wait "$p" || echo "fleet: a station ended with status $?"; done
stations_done=$(date +%s.%N)

# Each station on line again to answer the collector's requests (and publish what the
# broker had not acknowledged), until the collector has nothing left to ask.
answer() {
  apids=()
  for i in $(seq -f %02g 1 "$n"); do
    (cd "$root/st$i" && exec ./ratemon --headless --input sim:20 --seconds $((giveUp + 180)) \
       --mqtt "mqtt://127.0.0.1:$port/radmon/fleet/st$i" > answer.txt 2>> err.txt) &
    apids+=($!)
  done
}
answer
wait "$collector" || true
collector=
for p in "${apids[@]}"; do kill -INT "$p" 2>/dev/null || true; done
for p in "${apids[@]}"; do wait "$p" || true; done
collector_done=$(date +%s.%N)

# Counts the day files and records, and the files the collector holds byte for byte.
compare() {
  records=0 same=0 files=0
  for i in $(seq -f %02g 1 "$n"); do
    for f in "$root/st$i"/data/*.csv; do
      files=$((files + 1))
      records=$((records + $(wc -l < "$f")))
      if cmp -s "$f" "$root/collected/st$i/data/$(basename "$f")"; then same=$((same + 1)); fi
    done
  done
}
compare
wall=$(echo "$stations_done - $begin" | bc)
last_write=$(stat -c %.9Y "$root"/collected/*/data/*.csv | sort -n | tail -1)
echo "fleet: stations done in $(printf %.2f "$wall") s ($(echo "scale=0; $records / $wall" | bc) records/s);" \
  "the collector's last record written $(printf %.2f "$(echo "$last_write - $begin" | bc)") s after the start"
echo "fleet: $records records in $files day files; the collector's copy equals $same of them"
# What is still missing (a collector that gave up on a span) is asked again by a
# collector started anew while the stations answer.
pass=0
while [ "$same" -lt "$files" ] && [ "$pass" -lt 2 ]; do
  pass=$((pass + 1))
  "$bin/radmon-collect" --mqtt "mqtt://127.0.0.1:$port/radmon/fleet" --out "$root/collected" \
    --idle 5 --give-up "$giveUp" 2>> "$root/collect.log" &
  collector=$!
  answer
  wait "$collector" || true
  collector=
  for p in "${apids[@]}"; do kill -INT "$p" 2>/dev/null || true; done
  for p in "${apids[@]}"; do wait "$p" || true; done
  compare
  echo "fleet: after pass $pass the collector's copy equals $same of $files day files"
done
broker_cpu=$(echo "scale=2; $(cpuTicks "$broker") / $hz" | bc)
station_cpu=$(cat "$root"/st*/cpu.txt | awk '{u += $1; s += $2; if ($3 > m) m = $3} END {printf "%.2f (the largest %d MB)", u + s, m / 1024}')
broker_mem=$(awk '/VmHWM/ {printf "%d", $2 / 1024}' "/proc/$broker/status")
collector_use=$(awk '{printf "%.2f s, %d MB", $1 + $2, $3 / 1024}' "$root/collect.time")
echo "fleet: $records records in $files day files; the collector's copy equals $same of them"
echo "fleet: CPU seconds of the first pass: stations $station_cpu (together); broker $broker_cpu (all passes, $broker_mem MB at most)"
echo "fleet: the collector's first run: $collector_use"
echo "fleet: requests for records again: $(grep -c 再送を頼みます "$root/collect.log" || true); spans given up: $(grep -c 欠けたまま "$root/collect.log" || true)"
echo "fleet: the collector's first run ended $(printf %.2f "$(echo "$collector_done - $begin" | bc)") s after the start"
echo "fleet: draw a station: cp $bin/dayplot $root/collected/st01/ && $root/collected/st01/dayplot --process $(date -d yesterday +%Y%m%d)"
[ "$same" -eq "$files" ]
