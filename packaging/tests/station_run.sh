# Shared by the install and package tests: runs the installed programs (in folder $1)
# with the station under a throwaway HOME and checks what they wrote, and where.
# Needs `fail` and `tmp` from the caller.

run_installed_programs() {
  local bin=$1 home="$tmp/home"
  mkdir -p "$home"
  local station="$home/.local/share/radmon/"
  (
    export HOME="$home"
    unset XDG_DATA_HOME RADMON_STATION
    cd "$tmp"
    # First start makes the station; headless ratemon refuses to run without a
    # sensitivity, so give it one from the start, as an operator without a screen would.
    "$bin/dayplot" --process 20260102 2>"$tmp/first.err"
    [ $? -eq 1 ] || fail "dayplot --process without a day file should end with 1"
    [ -d "$station/data" ] || fail "no station folder $station/data after the first start"
    grep -qF "$station" "$tmp/first.err" || fail "dayplot did not name its station folder"
    "$bin/ratemon" --set tube_sensitivity=18 --set alarm1_limit_usv_h=0.8 >/dev/null ||
      fail "installed ratemon --set failed"
    printf '"50","3","10","18","0.8","2.7","%sdata/",0,0,1,"0"\r\n' "$station" |
      cmp -s - "$station/ratemon.ini" || fail "ratemon --set wrote another ratemon.ini"
    "$bin/ratemon" --headless --input sim:20 --fast --start "2026-01-02 00:00:00" \
      --seconds 600 >"$tmp/ratemon.out" 2>"$tmp/ratemon.err" ||
      fail "installed ratemon --headless failed: $(cat "$tmp/ratemon.err")"
    grep -qF "$station" "$tmp/ratemon.err" || fail "ratemon did not name its station folder"
    [ "$(wc -l <"$station/data/μSVHData20260102.csv")" -eq 10 ] ||
      fail "expected 10 record lines in the station's day file"
    [ ! -e "$station/~Record.tmp" ] && [ ! -e "$tmp/~Record.tmp" ] ||
      fail "the lock file was left behind"
    "$bin/dayplot" --process 20260102 2>"$tmp/dayplot.err" ||
      fail "installed dayplot --process failed: $(cat "$tmp/dayplot.err")"
    [ -s "$station/data/μSVHGraph_20260102.jpg" ] || fail "no day graph in the station"
    # The same programs on a named station.
    RADMON_STATION="$tmp/named" "$bin/dayplot" --process 20260102 2>/dev/null
    [ -d "$tmp/named/data" ] || fail "RADMON_STATION was not used"
    "$bin/dayplot" --station "$tmp/opt" --create --process 20260102 2>/dev/null
    [ -d "$tmp/opt/data" ] || fail "--station was not used"
  ) || exit 1
  # Nothing beside the installed programs.
  [ -z "$(find "$bin" -newer "$tmp/stamp" ! -type d)" ] || fail "files written into $bin"
}
