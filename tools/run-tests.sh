#!/usr/bin/env bash
# Builds and runs every test: the text logic natively under sanitizers; both Windows builds under
# Wine, each in its own prefix; the service test, the package test and a short fuzz run. The
# builds come first with every core; the groups then run side by side (under Wine they mostly
# wait), each build's test programs two at a time. Each group's output goes to build/test-logs/;
# the last line is "N passed, N failed", counting ctest's programs and the service test of
# each build, the package test and the fuzz run one each.
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1
logs=build/test-logs
rm -rf "$logs" && mkdir -p "$logs"
cleanup() {
  for preset in mingw-x86 mingw-x64; do tools/wine-stop.sh "$PWD/build/$preset/wineprefix"; done
  jobs -p | xargs -r kill 2>/dev/null
}
trap cleanup EXIT

passed=0 failed=0
declare -A built
build() {
  local preset=$1 prefix=()
  [ "$preset" = native ] || prefix=(-DVQ_WINEPREFIX="$PWD/build/$preset/wineprefix")
  if cmake --preset "$preset" "${prefix[@]}" >/dev/null &&
     cmake --build --preset "$preset" -j"$(nproc)" >/dev/null &&
     { [ "$preset" = native ] || cmake --build --preset "$preset" --target packages >/dev/null; }; then
    built[$preset]=1
  else
    echo "build of $preset failed"
    cmake --build --preset "$preset" 2>&1 | grep -E "error|Error" | head -40
    failed=$((failed + 1))
  fi
}

# Runs a group in the background: its output to its log, its exit code beside it.
group() {
  local name=$1
  shift
  ("$@" </dev/null >"$logs/$name.log" 2>&1; echo $? >"$logs/$name.status") &
}
for preset in native mingw-x86 mingw-x64; do build "$preset"; done
for preset in native mingw-x86 mingw-x64; do
  [ -n "${built[$preset]:-}" ] || continue
  if [ "$preset" = native ]; then
    group native ctest --preset native
  else
    group "$preset" ctest --preset "$preset" --timeout 900 -j2
    group "service-${preset#mingw-}" bash tools/service-test.sh "$preset"
  fi
done
[ -n "${built[mingw-x86]:-}" ] && [ -n "${built[mingw-x64]:-}" ] &&
  group packages env VQ_PACKAGES_BUILT=1 bash tools/package-test.sh
group fuzz nice -n 10 bash tools/fuzz.sh 20
wait

for name in native mingw-x86 mingw-x64 service-x86 service-x64 packages fuzz; do
  [ -f "$logs/$name.status" ] || continue
  echo "=== $name"
  cat "$logs/$name.log"
  if [[ $name == native || $name == mingw-* ]]; then
    summary=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$logs/$name.log" | tail -1)
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$summary")
    [ -n "$summary" ] || { total=1 bad=1; }
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  elif [ "$(cat "$logs/$name.status")" = 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
