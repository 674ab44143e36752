#!/usr/bin/env bash
# Soak: runs the real 32-bit service under Wine with the stand-in server in a process of its
# own, and prints the memory and handles of each apart.
# Usage: bash tools/soak.sh [MINUTES] [SECONDS]   a request every SECONDS (default 3) for
#                                                 MINUTES (default 10): start, end, highest
#        bash tools/soak.sh requests [COUNT]      COUNT requests (default 10,000) back to back
#                                                 with immediate answers: VQBroker's memory and
#                                                 round trip at the 1,000th against the last
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}
seconds=${2:-3}
build=${VQ_SOAK_BUILD:-build/soak-x86}
prefix=${VQ_SOAK_PREFIX:-$PWD/build/soak-wineprefix}
bash tools/setup.sh >/dev/null
cmake -S . -B "$build" --toolchain cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release -DCMAKE_UNITY_BUILD=ON \
  -DVQ_WINEPREFIX="$prefix" >/dev/null
cmake --build "$build" -j"$(nproc)" --target vq_soak VQBroker VQDocServer >/dev/null
trap 'tools/wine-stop.sh "$prefix"' EXIT  # the prefix's wineserver and the display it started
bash tools/wine-run.sh "$prefix" "$build/bin/vq_soak.exe" "$minutes" "$seconds"
