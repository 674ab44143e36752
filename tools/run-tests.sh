#!/usr/bin/env bash
# Builds and runs every test: the portable text logic natively under sanitizers, and the
# 32-bit and 64-bit Windows builds under Wine (one private prefix, one private display).
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1

export WINEPREFIX=$PWD/build/wineprefix
display_state=$WINEPREFIX.display
cleanup() {
  WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true
  if [ -f "$display_state" ]; then
    read -r _ pid <"$display_state" && kill "$pid" 2>/dev/null
    rm -f "$display_state"
  fi
}
trap cleanup EXIT

status=0
passed=0
failed=0
for preset in native mingw-x86 mingw-x64; do
  echo "=== $preset"
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j"$(nproc)" >/dev/null; }; then
    echo "build of $preset failed"
    cmake --build --preset "$preset" 2>&1 | grep -E "error|Error" | head -40
    status=1
    continue
  fi
  log=build/$preset-ctest.log
  ctest --preset "$preset" --timeout 1500 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  summary=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$log" | tail -1)
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  bad=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$summary")
  passed=$((passed + ${total:-0} - ${bad:-0}))
  failed=$((failed + ${bad:-0}))
done
echo "=== service"
if bash tools/service-test.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi
echo "=== packages"
if bash tools/package-test.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi
echo "=== fuzz smoke"
if bash tools/fuzz.sh 20; then passed=$((passed + 1)); else failed=$((failed + 1)); status=1; fi
echo "$passed passed, $failed failed"
exit $status
