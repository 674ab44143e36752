#!/usr/bin/env bash
# Runs one Windows executable under Wine, in the project's private WoW64 prefix and on
# an X display (a private Xvfb when none is set). Usage: wine-run.sh PREFIX EXE [ARGS...]
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# The first caller creates the prefix; others wait for it on the lock.
mkdir -p "$prefix"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
  fi
) 9>"$prefix.lock"

# A persistent wineserver keeps each later start quick.
wineserver -p >/dev/null 2>&1 || true

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
fi
exec wine "$@"
