#!/usr/bin/env bash
# Tells whether this machine executes 32-bit x86 code: some kernels (under a
# paravirtualising hypervisor) refuse it, Wine's 32-bit loader included.
# Runs a 93-byte i386 program that only calls exit(0).
# Exit 0: it can; 1: it cannot ("Exec format error"); 2: the probe itself failed.
set -u
probe=$(mktemp "${TMPDIR:-/tmp}/i386-exit.XXXXXX") || exit 2
trap 'rm -f "$probe"' EXIT
printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
chmod +x "$probe"
error=$("$probe" 2>&1) && exit 0
if grep -q 'Exec format error' <<<"$error"; then
  exit 1
fi
echo "runs-32bit-code.sh: the probe could not run: $error" >&2
exit 2
