#!/usr/bin/env bash
# Screenshots of ratemon's windows under Xvfb, into docs/: the main window with the
# real-time graph after half a minute of an invented tube signal, and a pulse test.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p docs
cmake --build build --target window_preview >/dev/null
shot() {  # shot MODE WAIT OUT
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c \
    "build/tools/window_preview $(($2 + 3)) $1 & sleep $2; import -window root -crop 740x770+0+0 $3; wait"
}
shot graph 30 docs/ratemon-graph.png
shot pulse 4 docs/ratemon-pulse-test.png
echo "screenshots in docs/"
