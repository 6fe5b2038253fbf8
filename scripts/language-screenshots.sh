#!/usr/bin/env bash
# Screenshots of both programs in Japanese and in English under Xvfb, into docs/: the
# real programs from build/bin on a throwaway station with a simulated day, so that the
# windows and the day graph are what an operator sees; the other windows (real-time graph,
# pulse test, pulse intervals, MQTT, dayplot's graph window, publishing settings and the
# question about an unknown certificate)
# from the window previews, and the month graph of that station.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target ratemon dayplot window_preview dayplot_window_preview >/dev/null
# One new station per language, each started in that language as an operator would.
stations=$(mktemp -d)
trap 'rm -rf "$stations"' EXIT
mkdir -p docs
new_station() {  # new_station DIR: a simulated day recorded into a new station
  mkdir -p "$1/data" "$1/preview"
  printf '"50","3","10","18","0.8","2.7","%s/data/μSVHData_nnnntthh.csv",0,0,1,"0"\r\n' \
    "$1" >"$1/ratemon.ini"
  build/bin/ratemon --station "$1" --headless --input "sim:20:120@13:00-16:00" --fast \
    --start "2026-12-07 00:00:00" --seconds 86400 >/dev/null 2>&1
}

# shot LANG WAIT OUT PROGRAM ARGS...: the program's window alone on the screen.
shot() {
  local lang=$1 wait=$2 out=$3
  shift 3
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c \
    "LANG=$lang $* & sleep $wait; import -window root -trim $out; kill %1; wait" || true
}
for lang in ja en; do
  locale=$([ $lang = en ] && echo en_US.UTF-8 || echo ja_JP.UTF-8)
  station="$stations/$lang"
  new_station "$station"
  shot "$locale" 4 "docs/ratemon-main-$lang.png" \
    build/bin/ratemon --station "$station" --input sim:300
  shot "$locale" 4 "docs/dayplot-settings-$lang.png" build/bin/dayplot --station "$station"
  build/bin/dayplot --station "$station" --lang $lang --process 20261207 2>/dev/null
  convert "$station/data/μSVHGraph_20261207.jpg" "docs/dayplot-graph-$lang.png"
  build/bin/dayplot --station "$station" --lang $lang --month 202612 2>/dev/null
  convert "$station/data/μSVHGraph_202612.jpg" "docs/dayplot-month-$lang.png"
  # preview WAIT CROP OUT PREVIEW ARGS...: a window preview, cropped at the top left.
  preview() {
    local wait=$1 crop=$2 out=$3
    shift 3
    xvfb-run -a -s "-screen 0 1024x900x24" bash -c \
      "LANG=$locale $* & sleep $wait; import -window root -crop $crop $out; wait" || true
  }
  preview 20 740x770+0+0 "docs/ratemon-graph-$lang.png" build/tools/window_preview 23 graph
  preview 4 740x770+0+0 "docs/ratemon-pulse-test-$lang.png" build/tools/window_preview 7 pulse
  preview 20 740x880+0+0 "docs/ratemon-pulse-intervals-$lang.png" \
    build/tools/window_preview 23 intervals
  preview 6 600x720+0+0 "docs/ratemon-mqtt-$lang.png" \
    build/tools/window_preview 9 mqtt mqtt://127.0.0.1:9/radmon/preview
  preview 4 890x566+0+0 "docs/dayplot-graph-window-$lang.png" \
    build/tools/dayplot_window_preview "$station/preview" graph 7
  preview 3 1024x900+0+0 "$station/publish.png" \
    build/tools/dayplot_window_preview "$station/preview" publish 6
  convert "$station/publish.png" -trim +repage "docs/dayplot-publish-$lang.png"
  preview 3 1024x900+0+0 "$station/trust.png" \
    build/tools/dayplot_window_preview "$station/preview" trust 6
  convert "$station/trust.png" -trim +repage "docs/dayplot-trust-$lang.png"
done
echo "screenshots in docs/"
