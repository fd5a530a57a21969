#!/usr/bin/env bash
# Runs a Windows program under Wine with the Czech locale (ANSI code page 1250)
# in the build's own prefix. Usage: wine-run.sh PROGRAM.exe [ARGS...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export LC_ALL=cs_CZ.UTF-8
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Windows need a display: one virtual X server serves every test run.
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:87
  if [ ! -S /tmp/.X11-unix/X87 ]; then
    (setsid Xvfb :87 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &)
    for _ in $(seq 50); do [ -S /tmp/.X11-unix/X87 ] && break; sleep 0.1; done
  fi
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w
fi
exec wine "$@"
