#!/usr/bin/env bash
# Runs one Windows executable under Wine, in the project's private WoW64 prefix and on
# an X display (a private Xvfb when none is set). Usage: wine-run.sh PREFIX EXE [ARGS...]
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Creates the prefix on first use and brings up Wine's own services (and a persistent
# wineserver) with their output detached: a service that inherited our output would
# keep the test runner waiting for its end long after the test is over.
mkdir -p "$prefix"
(
  flock 9
  wineboot </dev/null >/dev/null 2>&1 || true
  wineserver -p </dev/null >/dev/null 2>&1 || true
) 9>"$prefix.lock"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
fi
exec wine "$@"
