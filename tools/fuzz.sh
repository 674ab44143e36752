#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz") and runs each for SECONDS (default 600) on
# a scratch copy of its seed corpus in build/fuzz/corpus, as many at once as there are
# cores. Prints each target's executions and coverage; fails when any target fails.
# Usage: bash tools/fuzz.sh [SECONDS]
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
build=build/fuzz
targets=(settings packagetext rowrebuild naming)

if ! { cmake --preset fuzz >/dev/null &&
       cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null; }; then
  echo "build of the fuzz targets failed"
  exit 1
fi

run() {
  local target=$1 corpus=$build/corpus/$1
  mkdir -p "$corpus" "$build/crashes"
  cp -n fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null
  "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$target-" "$corpus" >"$build/$target.log" 2>&1
}

report() {
  local target=$1 rc=$2 log=$build/$1.log
  local runs cov corpus
  runs=$(grep -oE "stat::number_of_executed_units: *[0-9]+" "$log" | grep -oE "[0-9]+$")
  cov=$(grep -E "^#[0-9]+.*cov:" "$log" | tail -1 | grep -oE "cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9]+[a-zA-Z]*")
  corpus=$(find "$build/corpus/$target" -type f | wc -l)
  if [ "$rc" -eq 0 ]; then
    echo "fuzz_$target: ok, ${runs:-?} executions, ${cov:-no coverage line}, $corpus corpus files"
  else
    echo "fuzz_$target: FAILED (exit $rc), ${runs:-?} executions; see $log"
    grep -E "ERROR|runtime error|property broken|SUMMARY" "$log" | head -5
    ls "$build"/crashes/"$target"-* 2>/dev/null | head -3
  fi
}

declare -A pids
status=0
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n; done
  run "$target" &
  pids[$target]=$!
done
for target in "${targets[@]}"; do
  wait "${pids[$target]}"
  rc=$?
  report "$target" "$rc"
  [ "$rc" -eq 0 ] || status=1
done
exit $status
