#!/usr/bin/env bash
# Screenshots of both programs in Japanese and in English under Xvfb, into docs/: the
# real programs from build/bin on a throwaway station with a simulated day, so that the
# windows and the day graph are what an operator sees.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target ratemon dayplot >/dev/null
station=$(mktemp -d)
trap 'rm -rf "$station"' EXIT
mkdir -p "$station/data" docs
printf '"50","3","10","18","0.8","2.7","%s/data/μSVHData_nnnntthh.csv",0,0,1,"0"\r\n' \
  "$station" >"$station/ratemon.ini"
build/bin/ratemon --station "$station" --headless --input "sim:20:120@13:00-16:00" --fast \
  --start "2026-12-07 00:00:00" --seconds 86400 >/dev/null 2>&1

# shot LANG WAIT OUT PROGRAM ARGS...: the program's window alone on the screen.
shot() {
  local lang=$1 wait=$2 out=$3
  shift 3
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c \
    "LANG=$lang $* & sleep $wait; import -window root -trim $out; kill %1; wait" || true
}
for lang in ja en; do
  locale=$([ $lang = en ] && echo en_US.UTF-8 || echo ja_JP.UTF-8)
  shot "$locale" 4 "docs/ratemon-main-$lang.png" \
    build/bin/ratemon --station "$station" --input sim:300
  shot "$locale" 4 "docs/dayplot-settings-$lang.png" build/bin/dayplot --station "$station"
  build/bin/dayplot --station "$station" --lang $lang --process 20261207 2>/dev/null
  convert "$station/data/μSVHGraph_20261207.jpg" "docs/dayplot-graph-$lang.png"
done
echo "screenshots in docs/"
