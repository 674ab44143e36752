#!/usr/bin/env bash
# Builds the 32-bit program's benchmark and runs it under Wine: the ratios of figures 1 to
# 9, each measured side by side with its reference in one run and printed against its target.
# Usage: bash tools/bench.sh [9|local|large|files]   (figures 1 to 8 and 10 to 12 take a quarter
# of an hour, 9, alone with the argument 9, about half an hour; "local" the local-server figures
# alone, "large" 3 and 4 under ANSI and UTF8, "files" 11 and 12 alone; run it on an otherwise
# idle machine)
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1
build=${VQ_BENCH_BUILD:-build/mingw-x86}
prefix=${VQ_BENCH_WINEPREFIX:-$PWD/build/bench-wineprefix}

if [ "$build" = build/mingw-x86 ]; then
  configure=(--preset mingw-x86)
else
  configure=(-S . -B "$build" --toolchain cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release -DCMAKE_UNITY_BUILD=ON)
fi
if ! { cmake "${configure[@]}" >/dev/null 2>&1 && cmake --build "$build" -j"$(nproc)" --target VQBench >/dev/null; }; then
  echo "build of the benchmark failed"
  cmake --build "$build" --target VQBench 2>&1 | grep -E "error|Error" | head -40
  exit 1
fi
# (11): a working directory of 20,000 other files, made here, since under Wine each new name
# costs the maker a read of the whole directory.
full=$PWD/build/bench-full
if [ "$(find "$full" -maxdepth 1 -type f 2>/dev/null | wc -l)" -ne 20000 ]; then
  rm -rf "$full" && mkdir -p "$full"
  (cd "$full" && seq 1 5000 | sed 's/.*/COMANDA_&.ERR\nERORI_COMANDA_&.TXT\nSTOCURI_&.TXT\nCOMANDA&.TXT/' | xargs touch)
fi
export VQ_BENCH_FULL_DIR="Z:${full//\//\\}"
echo "$(git rev-parse --short HEAD 2>/dev/null), $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
trap 'tools/wine-stop.sh "$prefix"' EXIT  # the prefix's wineserver and the display it started
tools/wine-run.sh "$prefix" "$build/bin/VQBench.exe" "$@" | tr -d '\r'
exit "${PIPESTATUS[0]}"
