#!/usr/bin/env bash
# A fleet of simulated stations on one broker: starts a mosquitto on 127.0.0.1 at a free
# port, the collector radmon-collect, and N headless ratemon stations, each in a station
# folder of its own replaying a simulated day (--fast) and publishing to
# radmon/fleet/stNN. The collector writes what it receives into FOLDER/collected/stNN/data/,
# laid out like a station, so dayplot copied there draws any station's day. At the end
# every station's day files are compared with the collector's, and the figures printed.
#
#   scripts/fleet.sh [N] [SECONDS] [FOLDER]     (defaults: 5 stations, 86400 s, ./fleet)
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-5}
seconds=${2:-86400}
root=$(realpath -m "${3:-fleet}")
bin=$PWD/build/bin
[ -x "$bin/ratemon" ] && [ -x "$bin/radmon-collect" ] || scripts/build.sh

rm -rf "$root"
mkdir -p "$root/broker" "$root/collected"
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$root/broker/mosquitto.conf" <<CONF
user $(id -un)
listener $port 127.0.0.1
allow_anonymous true
persistence false
max_queued_messages 0
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

"$bin/radmon-collect" --mqtt "mqtt://127.0.0.1:$port/radmon/fleet" --out "$root/collected" \
  --idle 5 2> "$root/collect.log" &
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
    TIMEFORMAT='%U %S'
    { time ./ratemon --headless --input "sim:$cpm" --fast --start "$start" --seconds "$seconds" \
        --mqtt "mqtt://127.0.0.1:$port/radmon/fleet/st$i" > replay.txt 2> err.txt; } 2> cpu.txt
  ) &
  pids+=($!)
done
for p in "${pids[@]}"; do wait "$p" || echo "fleet: a station ended with status $?"; done
stations_done=$(date +%s.%N)
wait "$collector" || true
collector=

# Counts the day files and records, and the files the collector holds byte for byte.
compare() {
  records=0 same=0 files=0
  for i in $(seq -f %02g 1 "$n"); do
    for f in "$root/st$i"/data/*.csv; do
      files=$((files + 1))
      records=$((records + $(wc -l < "$f")))
      cmp -s "$f" "$root/collected/st$i/data/$(basename "$f")" && same=$((same + 1))
    done
  done
}
compare
wall=$(echo "$stations_done - $begin" | bc)
last_write=$(stat -c %.9Y "$root"/collected/*/data/*.csv | sort -n | tail -1)
echo "fleet: stations done in $(printf %.2f "$wall") s ($(echo "scale=0; $records / $wall" | bc) records/s);" \
  "the collector's last record written $(printf %.2f "$(echo "$last_write - $begin" | bc)") s after the start"
echo "fleet: $records records in $files day files; the collector's copy equals $same of them"
# A fast replay ends long before a loaded broker has acknowledged everything, and a
# station waits only a few seconds at its end: what stays unacknowledged is published
# by the station's next run, here one that measures nothing and only catches up.
pass=0
while [ "$same" -lt "$files" ] && [ "$pass" -lt 3 ]; do
  pass=$((pass + 1))
  "$bin/radmon-collect" --mqtt "mqtt://127.0.0.1:$port/radmon/fleet" --out "$root/collected" \
    --idle 5 2>> "$root/collect.log" &
  collector=$!
  sleep 0.5
  pids=()
  for i in $(seq -f %02g 1 "$n"); do
    (cd "$root/st$i" && ./ratemon --headless --input sim:20 --fast --start "$start" --seconds 0 \
       --mqtt "mqtt://127.0.0.1:$port/radmon/fleet/st$i" > catchup.txt 2>> err.txt) &
    pids+=($!)
  done
  for p in "${pids[@]}"; do wait "$p" || true; done
  wait "$collector" || true
  collector=
  compare
  echo "fleet: after catch-up run $pass the collector's copy equals $same of $files day files"
done
broker_cpu=$(echo "scale=2; $(cpuTicks "$broker") / $hz" | bc)
station_cpu=$(cat "$root"/st*/cpu.txt | awk '{u += $1; s += $2} END {printf "%.2f", u + s}')
echo "fleet: $records records in $files day files; the collector's copy equals $same of them"
echo "fleet: CPU seconds of the first pass: stations $station_cpu (together); broker $broker_cpu (all passes)"
echo "fleet: draw a station: cp $bin/dayplot $root/collected/st01/ && $root/collected/st01/dayplot --process $(date -d yesterday +%Y%m%d)"
[ "$same" -eq "$files" ]
