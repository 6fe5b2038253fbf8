#!/usr/bin/env bash
# Installs what is missing, builds, and replays one simulated day (about 20 CPM, with a
# raised stretch in the afternoon) through the headless ratemon at full speed into a
# demo station folder, then draws that day's graph.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

station="$PWD/demo/station"
rm -rf "$station"
mkdir -p "$station/data"
cp build/bin/ratemon "$station/"
[ -x build/bin/dayplot ] && cp build/bin/dayplot "$station/"
# A first run of the station: the tube's sensitivity and the alarm limits are set.
printf '"50","3","10","18","0.8","2.7","%s/data/μSVHData_nnnntthh.csv",1,1,1,"0"\r\n' \
  "$station" > "$station/ratemon.ini"

day=$(date -d yesterday +%Y%m%d)
start="$(date -d '2 days ago' +%Y-%m-%d) 23:59:59"
echo "demo: replaying $(date -d yesterday +%Y-%m-%d) through ratemon (simulated tube)..."
cd "$station"
time ./ratemon --headless --input "sim:20:120@13:00-16:00" --fast --start "$start" \
  --seconds 86400 > replay.txt
tail -n 1 replay.txt
echo "demo: day file  $station/data/μSVHData$day.csv ($(wc -l < "$station/data/μSVHData$day.csv") lines)"
if [ -x ./dayplot ]; then
  ./dayplot --process "$day" && echo "demo: day graph $station/data/μSVHGraph_$day.jpg"
fi
