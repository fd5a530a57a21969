#!/usr/bin/env bash
# Runs a Windows program under Wine with the Czech locale (ANSI code page 1250)
# in the build's own prefix. Usage: wine-run.sh PROGRAM.exe [ARGS...]
# PROGRAM may be a Linux path, a Windows path in the prefix, one of Wine's own
# programs (notepad.exe, reg, wineboot), or "wineserver" for the prefix's server.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# WINE_RUN_LOCALE=C.UTF-8 gives a Western system (code page 1252) instead.
export LC_ALL=${WINE_RUN_LOCALE:-cs_CZ.UTF-8}
# No menu builder: it opens every new shortcut in the Start menu (a moment in
# which deleting it fails) and copies it into this machine's own menus.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}"
# Windows need a display: one virtual X server (number WINE_RUN_SCREEN, 87
# unless set, so that test runs side by side keep apart) serves every run. A
# socket left behind by a server that is gone (a machine restored from a
# snapshot) must not count, so the server's lock file and process decide.
screen=${WINE_RUN_SCREEN:-87}
xvfb_alive() {
  local pid
  pid=$(tr -d ' ' </tmp/.X$screen-lock 2>/dev/null) || return 1
  [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]
}
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:$screen
  if ! xvfb_alive; then
    rm -f /tmp/.X$screen-lock /tmp/.X11-unix/X$screen
    (setsid Xvfb :$screen -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &)
    for _ in $(seq 100); do
      xvfb_alive && [ -S /tmp/.X11-unix/X$screen ] && break
      sleep 0.1
    done
    xvfb_alive || { echo "wine-run.sh: Xvfb :$screen did not start" >&2; exit 1; }
  fi
fi

# The loader follows the program: a 32-bit Windows program needs Wine's 32-bit
# loader; 64-bit programs and Wine's own run through the 64-bit one, which
# every machine can execute (Debian's wine script takes the 32-bit loader
# whenever it is installed, even where the machine refuses 32-bit code).
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
linux_path_of() {  # a Windows path in the prefix as a Linux path
  case $1 in
    [A-Za-z]:\\*)
      local drive
      drive=$(tr 'A-Z' 'a-z' <<<"${1:0:1}")
      printf '%s/dosdevices/%s:%s' "$WINEPREFIX" "$drive" "$(tr '\\' / <<<"${1:2}")" ;;
    *) printf '%s' "$1" ;;
  esac
}
pe_machine() {  # the COFF machine field of a PE file: 014c (i386) or 8664 (x86-64)
  local pe_offset
  pe_offset=$(od -An -tu4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ') || return 1
  [ -n "$pe_offset" ] || return 1
  od -An -tx2 -j $((pe_offset + 4)) -N 2 "$1" 2>/dev/null | tr -d ' '
}
loader_for() {
  local program
  program=$(linux_path_of "$1")
  if [ -f "$program" ] && [ "$(pe_machine "$program")" = 014c ]; then
    echo "$wine32"
  else
    echo "$wine64"
  fi
}

# A 64-bit prefix: it runs 64-bit programs, and 32-bit ones where the machine can.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  WINELOADER=$wine64 "$wine64" wineboot --init >/dev/null 2>&1 || true
  wineserver -w
fi
if [ "${1:-}" = wineserver ]; then
  shift
  exec wineserver "$@"
fi
# WINELOADER names the loader that runs the program: a 32-bit loader told of
# the 64-bit one hands the program to a new process through start.exe, and
# its process id is then no longer the program's. Children of the other
# bitness get the loader beside it (with or without "64").
loader=$(loader_for "${1:-}")
export WINELOADER=$loader
exec "$loader" "$@"
