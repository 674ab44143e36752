#!/usr/bin/env bash
# Runs one Windows executable under Wine, in the project's private WoW64 prefix and on
# an X display. Usage: wine-run.sh PREFIX EXE [ARGS...]
# Without DISPLAY, the prefix gets a private Xvfb that outlives the call, like its
# persistent wineserver: Wine's desktop binds to the display it first saw.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

start_private_display() {
  local state="$prefix.display" number pid
  if [ -f "$state" ]; then
    read -r number pid <"$state"
    if kill -0 "$pid" 2>/dev/null; then
      DISPLAY=:$number
      return
    fi
  fi
  number=90
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
  setsid Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.05; done
  echo "$number $pid" >"$state"
  DISPLAY=:$number
}

mkdir -p "$prefix"
exec 9>"$prefix.lock"
flock 9
[ -n "${DISPLAY:-}" ] || start_private_display
export DISPLAY
# Wine's own services start with their output detached: a service that inherited ours
# would keep the test runner waiting long after the test is over.
fresh=$([ -f "$prefix/system.reg" ] || echo 1)
wineboot </dev/null >/dev/null 2>&1 || true
# In a new prefix, the first start of a local COM server can hang a minute unless the
# wineserver that ran wineboot is restarted.
[ -z "$fresh" ] || { wineserver -k; wineserver -w; } </dev/null >/dev/null 2>&1 || true
# No automatic debugger: a program that crashes ends at once with its exception's exit code,
# instead of a debugger that holds the caller's output open long after any timeout. The
# debugger's command names no program, so none starts.
if [ ! -f "$prefix/.no-debugger" ]; then
  for view in 32 64; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d none /f /reg:$view \
      </dev/null >/dev/null 2>&1
  done
  touch "$prefix/.no-debugger"
fi
wineserver -p </dev/null >/dev/null 2>&1 || true
flock -u 9
exec 9>&-

exec wine "$@"
