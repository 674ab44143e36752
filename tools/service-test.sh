#!/usr/bin/env bash
# Proves the program as a Windows service under Wine's Service Control Manager, in a Wine prefix
# of its own: an installed auto-start service starts with every Wine process of its prefix.
# Usage: service-test.sh [PRESET...] (default: mingw-x86 mingw-x64); the presets must be built.
set -uo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(mingw-x86 mingw-x64)
status=0
for preset in "${presets[@]}"; do
  export WINEPREFIX=$PWD/build/service-test/$preset WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
  stop_wine() {
    tools/wine-stop.sh "$WINEPREFIX"
    rm -rf "$WINEPREFIX" "$WINEPREFIX.lock"
  }
  stop_wine
  trap stop_wine EXIT
  # Creates the prefix and its display, and keeps its wineserver up: under Wine a service
  # ends with the last ordinary process. Whatever starts services.exe has its output
  # redirected, or the service would hold this script's pipes.
  env -u DISPLAY tools/wine-run.sh "$WINEPREFIX" cmd /c exit </dev/null >/dev/null 2>&1
  read -r number _ <"$WINEPREFIX.display"
  export DISPLAY=:$number
  echo "--- $preset"
  timeout 600 wine "build/$preset/bin/service_e2e_tests.exe" </dev/null 2>&1 | tr -d '\r' | grep -v '^fixme' ||
    status=1
  stop_wine
  trap - EXIT
done
exit $status
