#!/usr/bin/env bash
# Ends what tools/wine-run.sh started for a Wine prefix: its wineserver, and with it every
# program of the prefix, and its private Xvfb. Usage: wine-stop.sh PREFIX
prefix=$1
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
if [ -f "$prefix.display" ]; then
  read -r _ pid <"$prefix.display" && kill "$pid" 2>/dev/null
  rm -f "$prefix.display"
fi
exit 0
