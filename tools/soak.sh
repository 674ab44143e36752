#!/usr/bin/env bash
# Soak: runs the real 32-bit service under Wine for MINUTES (default 10), dropping a
# request every SECONDS (default 3), and prints its private bytes, working set and
# handle count at the start, at the end and at their highest.
# Usage: bash tools/soak.sh [MINUTES] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}
seconds=${2:-3}
build=${VQ_SOAK_BUILD:-build/soak-x86}
prefix=${VQ_SOAK_PREFIX:-$PWD/build/soak-wineprefix}
bash tools/setup.sh >/dev/null
cmake -S . -B "$build" --toolchain cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  -DVQ_WINEPREFIX="$prefix" >/dev/null
cmake --build "$build" -j"$(nproc)" --target vq_soak VQBroker VQDocServer >/dev/null
trap 'tools/wine-stop.sh "$prefix"' EXIT  # the prefix's wineserver and the display it started
bash tools/wine-run.sh "$prefix" "$build/bin/vq_soak.exe" "$minutes" "$seconds"
