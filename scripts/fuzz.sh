#!/usr/bin/env bash
# Builds the libFuzzer programs with clang into build-fuzz and runs each target for the
# given number of seconds (default 60), two at a time under nice:
#   scripts/fuzz.sh [seconds] [target...]
# Seeds come from fuzz/corpus/<target>/ (read only); what the fuzzer learns is kept in
# build-fuzz/corpus/<target>/, so a later run goes on from there. A failing input is
# written to build-fuzz/artifacts/<target>/; copy it to fuzz/regressions/<target>/ once
# the fault is fixed, and the normal build's fuzz_replay_<target> test replays it.
# The last lines of each log (build-fuzz/logs/<target>.log) hold the run's figures.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(number_text settings_text ratemon_settings
  dayplot_settings day_table wav_file ftp_script)
parallel=${FUZZ_PARALLEL:-2}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRADMON_FUZZ=ON >/dev/null
nice cmake --build build-fuzz -j2 --target fuzz_all

# The properties abort; leaks count as faults too.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p build-fuzz/logs

run_one() {
  local t=$1
  mkdir -p "build-fuzz/corpus/$t" "build-fuzz/artifacts/$t"
  nice build-fuzz/fuzz/fuzz_"$t" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$t/" \
    "build-fuzz/corpus/$t" "fuzz/corpus/$t" >"build-fuzz/logs/$t.log" 2>&1
}

status=0
declare -A pids=()
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do sleep 1; done
  echo "fuzz: $t for ${seconds}s"
  run_one "$t" &
  pids[$t]=$!
done
for t in "${targets[@]}"; do
  if wait "${pids[$t]}"; then result=ok; else result=FAILED; status=1; fi
  summary=$(grep -E "^#[0-9]+[[:space:]].*cov: " "build-fuzz/logs/$t.log" | tail -1 || true)
  execs=$(grep -E '^stat::number_of_executed_units' "build-fuzz/logs/$t.log" | awk '{print $2}' || true)
  rate=$(grep -E '^stat::average_exec_per_sec' "build-fuzz/logs/$t.log" | awk '{print $2}' || true)
  echo "fuzz: $t $result execs=${execs:-?} exec/s=${rate:-?} ${summary}"
  [ "$result" = ok ] || ls "build-fuzz/artifacts/$t/"
done
exit $status
