#!/usr/bin/env bash
# Side by side, whole process against whole process: `dayplot --process` on a full day
# (1440 records, JPEG and BMP) against Debian's gnuplot drawing the same two-panel chart
# from the same file into a JPEG. Prints the mean time of each and their ratio.
# Usage: bench/dayplot_vs_gnuplot.sh [build/bin/dayplot] [runs]
set -euo pipefail

dayplot=$(readlink -f "${1:-build/bin/dayplot}")
runs=${2:-20}
command -v gnuplot >/dev/null || { echo "gnuplot is not installed (apt-get install gnuplot-nox)"; exit 1; }
font=/usr/share/fonts/opentype/ipaexfont-gothic/ipaexg.ttf

work=$(mktemp -d)
[ -n "${KEEP_WORK:-}" ] && echo "work folder: $work" || trap 'rm -rf "$work"' EXIT
mkdir -p "$work/prog/data"
cp "$dayplot" "$work/prog/dayplot"   # the program folder is the executable's folder
day="$work/prog/data/μSVHData20110401.csv"
awk 'BEGIN { srand(1); for (m = 0; m < 1440; m++) {
  r = 0.1 + 0.03 * sin(m / 37) + 0.01 * rand();
  printf "\"2011/04/01\",\"%02d:%02d\",%.3f,%d,%d,60\r\n", int(m / 60), m % 60, r, int(r * 300), m * 30 } }' > "$day"
printf '"大阪府大阪市","%s","μSVHGraph","1","μSVHData","自作GM管","03","00"\r\n1,1,0,0\r\n#TRUE#,#FALSE#,#FALSE#,#FALSE#\r\n"","","",0,""\r\n' \
  "$day" > "$work/prog/dayplot.ini"

cat > "$work/day.gp" <<GP
set datafile separator ","
set terminal jpeg size 841,537 font "$font,9"
set output "$work/gnuplot.jpg"
stats "$day" using 3 nooutput
mins(s) = int(strptime("%H:%M", s) / 60)  # "08" would read as a bad octal number
set multiplot
set lmargin at screen 70.0/841; set rmargin at screen 790.0/841
set yrange [0:1]; set ytics 0.2; set grid ytics lc rgb "#646464"
set xrange [0:720]; set xtics ("0 時" 0, "2 時" 120, "4 時" 240, "6 時" 360, "8 時" 480, "10 時" 600, "12 時" 720)
set ylabel "μSV/h"
set label 1 sprintf("2011年04月01日  [ 日最大:%g  日平均:%.3f ]", STATS_max, STATS_mean) at screen 0.01, screen 0.96 font "$font,18"
set tmargin at screen 1 - 69.0/537; set bmargin at screen 1 - 239.0/537
plot "$day" using (mins(strcol(2))):(mins(strcol(2)) < 720 ? \$3 : 1/0) with lines lc rgb "black" notitle
unset label 1
set xtics ("12 時" 0, "14 時" 120, "16 時" 240, "18 時" 360, "20 時" 480, "22 時" 600, "24 時" 720)
set tmargin at screen 1 - 299.0/537; set bmargin at screen 1 - 469.0/537
plot "$day" using (mins(strcol(2)) - 720):(mins(strcol(2)) >= 720 ? \$3 : 1/0) with lines lc rgb "black" notitle
unset multiplot
GP

# Mean wall time of one run in milliseconds.
time_runs() {
  local start end
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "$@" >/dev/null 2>&1; done
  end=$(date +%s%N)
  echo $(( (end - start) / runs / 1000000 ))
}

"$work/prog/dayplot" --process 20110401
gnuplot "$work/day.gp"
ls -l "$work/prog/data" "$work/gnuplot.jpg" | grep -v '^total'

d=$(time_runs env -u DISPLAY QT_QPA_PLATFORM= "$work/prog/dayplot" --process 20110401)
g=$(time_runs gnuplot "$work/day.gp")
echo "dayplot --process (JPEG + BMP): ${d} ms per run"
echo "gnuplot (JPEG):                 ${g} ms per run"
awk -v d="$d" -v g="$g" 'BEGIN { printf "ratio dayplot / gnuplot: %.2f\n", d / g }'
if [ -n "${KEEP_IMAGES:-}" ]; then cp "$work/gnuplot.jpg" "$work/prog/data/"*.jpg "$KEEP_IMAGES"/; fi
