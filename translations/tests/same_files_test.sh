#!/usr/bin/env bash
# The files the programs write, and headless ratemon's record lines, are the same bytes
# in Japanese and in English: the same station runs through ratemon --headless and
# dayplot --process in each language, and everything but the drawn graph is compared.
# The event log tells in the interface's language: its times and kinds are the same.
# Usage: same_files_test.sh PROGRAM_FOLDER
set -uo pipefail
bin=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

st="$tmp/station"
for lang in ja en; do
  mkdir -p "$st/data"
  printf '"50","3","10","18","0.8","2.7","%s/data/μSVHData_nnnntthh.csv",1,1,1,"0"\r\n' \
    "$st" >"$st/ratemon.ini"
  "$bin/ratemon" --station "$st" --lang $lang --headless --input sim:200:3000@23:55-23:58 \
    --fast --start "2026-12-07 23:50:00" --seconds 1200 >"$tmp/out-$lang" 2>"$tmp/err-$lang" ||
    fail "ratemon --lang $lang: $(cat "$tmp/err-$lang")"
  "$bin/dayplot" --station "$st" --lang $lang --process 20261207 2>>"$tmp/err-$lang" ||
    fail "dayplot --lang $lang: $(cat "$tmp/err-$lang")"
  [ -s "$st/data/μSVHGraph_20261207.jpg" ] || fail "no graph in $lang"
  (cd "$st" && find . -type f ! -name '*.jpg' ! -name 'μSVHEvents*' -print0 | sort -z |
    xargs -0 sha256sum) >"$tmp/sums-$lang"
  cut -d, -f1-3 "$st"/data/μSVHEvents*.csv >"$tmp/events-$lang" || fail "no event log in $lang"
  mv "$st" "$tmp/station-$lang"
done
[ "$(wc -l <"$tmp/sums-ja")" -ge 3 ] || fail "too few files written: $(cat "$tmp/sums-ja")"
diff "$tmp/sums-ja" "$tmp/sums-en" || fail "the files differ between the languages"
grep -q '"alarm-1"' "$tmp/events-ja" || fail "no alarm in the event log: $(cat "$tmp/events-ja")"
diff "$tmp/events-ja" "$tmp/events-en" || fail "the event logs differ between the languages"
cmp "$tmp/out-ja" "$tmp/out-en" || fail "ratemon's record lines differ between the languages"
# The language took: each run said its station folder in its own words.
grep -q "^測定局フォルダ: " "$tmp/err-ja" || fail "no Japanese station line: $(cat "$tmp/err-ja")"
grep -q "^Station folder: " "$tmp/err-en" || fail "no English station line: $(cat "$tmp/err-en")"
echo "same files in both languages: $(wc -l <"$tmp/sums-ja") files"
