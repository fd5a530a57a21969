#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing when all are present.
set -euo pipefail

packages=(cmake make g++ pkg-config googletest libgtest-dev libbenchmark-dev
          libgcrypt20-dev zlib1g-dev g++-mingw-w64-i686 mingw-w64-i686-dev
          g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
          wine wine32 wine64 xvfb locales
          libjpeg-dev dpkg-dev python3-reportlab fonts-dejavu-core poppler-utils)
# clang with libFuzzer and its sanitizer runtimes: the fuzz harnesses (build/fuzz).
packages+=(clang-14)
packages+=(libclang-rt-14-dev)
packages+=(time)  # peak memory of tramo2-stats in make bench
packages+=(chromium)  # draws the tramo2-stats report in its test
# makensis builds the setup program.
packages+=(nsis)
# Key presses for the setup wizard on the virtual display.
packages+=(xdotool)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine runs with the Czech locale so the ANSI code page is 1250; the window
# scenarios run again under a Western (1252) and a Japanese (932) one.
for loc in cs_CZ en_US ja_JP; do
  if ! locale -a 2>/dev/null | grep -qix "$loc.utf8"; then
    echo "install-deps: generating $loc.UTF-8"
    $SUDO sed -i "s/^# *$loc.UTF-8 UTF-8/$loc.UTF-8 UTF-8/" /etc/locale.gen
    grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen || echo "$loc.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null
  fi
done
