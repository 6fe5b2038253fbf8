#!/usr/bin/env bash
# The pictures of docs/readings.md from the simulated tube: a year of simulated days
# replayed at full speed through the headless ratemon (2025, the rate drifting from
# month to month, the station off from the 10th to the 13th of June), drawn by
# dayplot --month and --year; and the pulse-interval view under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p docs
cmake --build build --target ratemon dayplot window_preview >/dev/null
station=$(mktemp -d /tmp/readings_station_XXXXXX)
trap 'rm -rf "$station"' EXIT
mkdir -p "$station/data"
cp build/bin/ratemon build/bin/dayplot "$station/"
printf '"50","3","10","18","0.8","2.7","%s/data/μSVHData_nnnntthh.csv",1,1,1,"0"\r\n' \
  "$station" > "$station/ratemon.ini"
base=(18 18 19 20 21 22 23 23 22 21 20 19)
replay() {  # replay CPM SEED START SECONDS
  (cd "$station" && ./ratemon --headless --input "sim:$1:$(($1 * 2))@13:00-15:00,seed=$2" \
    --fast --start "$3" --seconds "$4" > /dev/null 2>&1)
}
for m in $(seq 1 12); do
  first=$(printf '2025-%02d-01' "$m")
  days=$(( ($(date -d "$first +1 month" +%s) - $(date -d "$first" +%s)) / 86400 ))
  b=${base[$((m - 1))]}
  before="$(date -d "$first -1 day" +%Y-%m-%d) 23:59:59"
  if [ "$m" = 6 ]; then
    replay "$b" "$m" "$before" $((9 * 86400))
    replay "$b" $((m + 100)) "2025-06-13 23:59:59" $(((days - 13) * 86400))
  else
    replay "$b" "$m" "$before" $((days * 86400))
  fi
done
echo "$(ls "$station/data" | wc -l) day files, $(cat "$station"/data/*.csv | wc -l) records"
# The graphs at a full scale of 1 μSv/h, JPEG only.
printf '"大阪府大阪市","%s/data/","μSVHGraph","1","μSVHData","自作GM管","03","00"\r\n1,0,0,0\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n"ftp.example.com","","",0,""\r\n' \
  "$station" > "$station/dayplot.ini"
(cd "$station" && QT_QPA_PLATFORM=offscreen ./dayplot --month 202506 &&
  QT_QPA_PLATFORM=offscreen ./dayplot --year 2025)
convert "$station/data/μSVHGraph_202506.jpg" docs/dayplot-month.png
convert "$station/data/μSVHGraph_2025.jpg" docs/dayplot-year.png

xvfb-run -a -s "-screen 0 1024x900x24" bash -c \
  "build/tools/window_preview 50 intervals & sleep 46; import -window root -crop 740x880+0+0 docs/ratemon-pulse-intervals.png; wait"
echo "pictures in docs/"
