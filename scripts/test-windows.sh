#!/usr/bin/env bash
# Runs the Windows tests under Wine where this machine can run them: the
# 64-bit tree always, the 32-bit tree where the machine executes 32-bit code
# (a probe decides), then the setup programs. Ends with one line saying what
# ran, passed, failed or was skipped.
# Usage: test-windows.sh WIN64_DIR WIN32_DIR DIST_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
win64=$1
win32=$2
dist=$3
# Both trees run the same code; on the 32-bit tree these are the entries
# whose outcome can depend on the bitness (the window scenarios need none of
# it and cost minutes).
win32_subset='^(core_tests|win32_tests|tracker_e2e|kill_e2e|stats_cli|stats_console)$'

results=()
failed=0
record() {  # record NAME COMMAND...: runs the command, notes its outcome
  local name=$1
  shift
  if "$@"; then
    results+=("$name passed")
  else
    results+=("$name failed")
    failed=1
  fi
}

record win64 ctest --test-dir "$win64" --output-on-failure
runnable=("$win64")
bash "$here/runs-32bit-code.sh"
case $? in
  0)
    subset=${win32_subset//[()^$]/}
    record "win32 (${subset//|/, })" ctest --test-dir "$win32" --output-on-failure -R "$win32_subset"
    runnable+=("$win32") ;;
  1) results+=("win32 skipped: this machine cannot execute 32-bit code") ;;
  *) results+=("win32 not run: the probe for 32-bit code failed"); failed=1 ;;
esac
record "same bytes ($(basename -a "${runnable[@]}" | paste -sd ' '))" \
  bash "$here/../tests/cross_build/cross_build_test.sh" "${runnable[@]}"
record "setup programs" bash "$here/../tests/dist/installer_test.sh" "$dist" "$win64/tests/e2e_helper.exe"

summary=$(printf '%s; ' "${results[@]}")
echo "Windows tests: ${summary%; }"
exit "$failed"
