#!/usr/bin/env bash
# Builds the 32-bit program's benchmark and runs it under Wine: the ratios of figures 1 to
# 9, each measured side by side with its reference in one run and printed against its target.
# Usage: bash tools/bench.sh [9|local|large]   (figures 1 to 8 take a few minutes, 9, alone with
# the argument 9, about half an hour; "large": 3 and 4 under ANSI and UTF8; run it on an
# otherwise idle machine)
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1
build=${VQ_BENCH_BUILD:-build/mingw-x86}
prefix=${VQ_BENCH_WINEPREFIX:-$PWD/build/bench-wineprefix}

if [ "$build" = build/mingw-x86 ]; then
  configure=(--preset mingw-x86)
else
  configure=(-S . -B "$build" --toolchain cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release)
fi
if ! { cmake "${configure[@]}" >/dev/null 2>&1 && cmake --build "$build" -j"$(nproc)" --target VQBench >/dev/null; }; then
  echo "build of the benchmark failed"
  cmake --build "$build" --target VQBench 2>&1 | grep -E "error|Error" | head -40
  exit 1
fi
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
trap 'tools/wine-stop.sh "$prefix"' EXIT  # the prefix's wineserver and the display it started
tools/wine-run.sh "$prefix" "$build/bin/VQBench.exe" "$@" | tr -d '\r'
exit "${PIPESTATUS[0]}"
