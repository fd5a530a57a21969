#!/usr/bin/env bash
# Runs a Windows program under Wine with the Czech locale (ANSI code page 1250)
# in the build's own prefix. Usage: wine-run.sh PROGRAM.exe [ARGS...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export LC_ALL=cs_CZ.UTF-8
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Windows need a display: one virtual X server serves every test run. A socket
# left behind by a server that is gone (a machine restored from a snapshot)
# must not count, so the server's lock file and process decide.
xvfb_alive() {
  local pid
  pid=$(tr -d ' ' </tmp/.X87-lock 2>/dev/null) || return 1
  [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]
}
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:87
  if ! xvfb_alive; then
    rm -f /tmp/.X87-lock /tmp/.X11-unix/X87
    (setsid Xvfb :87 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &)
    for _ in $(seq 100); do
      xvfb_alive && [ -S /tmp/.X11-unix/X87 ] && break
      sleep 0.1
    done
    xvfb_alive || { echo "wine-run.sh: Xvfb :87 did not start" >&2; exit 1; }
  fi
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w
fi
exec wine "$@"
