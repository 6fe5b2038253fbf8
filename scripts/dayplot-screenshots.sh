#!/usr/bin/env bash
# Screenshots of dayplot's windows under Xvfb, into docs/: the settings window, and the
# graph window after a manual run on an invented day.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p docs
cmake --build build --target dayplot_window_preview >/dev/null
folder=$(mktemp -d /tmp/dayplot_preview_XXXXXX)
trap 'rm -rf "$folder"' EXIT
shot() {  # shot MODE WAIT CROP OUT
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c \
    "build/tools/dayplot_window_preview '$folder' $1 $(($2 + 3)) & sleep $2; import -window root -crop $3 $4; wait"
}
shot settings 3 520x552+0+0 docs/dayplot-settings.png
shot graph 4 890x566+0+0 docs/dayplot-graph.png
shot publish 3 1024x768+0+0 "$folder/publish.png"
convert "$folder/publish.png" -trim +repage docs/dayplot-publish.png
echo "screenshots in docs/"
