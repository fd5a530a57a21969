#!/usr/bin/env bash
# Runs the Windows tests under Wine where this machine can run them: the
# 64-bit tree always, the 32-bit tree where the machine executes 32-bit code
# (a probe decides), the bytes both builds write, then the setup programs.
# Ends with one line saying what ran, passed, failed or was skipped.
# Usage: test-windows.sh WIN64_DIR WIN32_DIR DIST_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
win64=$(realpath "$1")
win32=$(realpath "$2")
dist=$(realpath "$3")
# Both trees run the same code; on the 32-bit tree these are the entries
# whose outcome can depend on the bitness (the window scenarios need none of
# it and cost minutes).
win32_subset='^(core_tests|win32_tests|tracker_e2e|kill_e2e|stats_cli|stats_console)$'

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/main.results" "$work/side.results"
# record NAME COMMAND...: runs the command, appends its outcome to the
# results file of this job.
record() {
  local name=$1
  shift
  if "$@"; then
    echo "$name passed" >>"$results"
  else
    echo "$name failed" >>"$results"
  fi
}

bash "$here/runs-32bit-code.sh"
probe=$?
runnable=("$win64")
[ "$probe" -eq 0 ] && runnable+=("$win32")

# Everything but the 64-bit suite runs beside it, in a Wine prefix and on a
# virtual screen of its own: the window scenarios mostly wait for Wine.
unset DISPLAY
(
  results=$work/side.results
  export WINEPREFIX=$work/side-prefix WINE_RUN_SCREEN=88
  case $probe in
    0)
      subset=${win32_subset//[()^$]/}
      record "win32 (${subset//|/, })" ctest --test-dir "$win32" --output-on-failure -R "$win32_subset" ;;
    1) echo "win32 skipped: this machine cannot execute 32-bit code" >>"$results" ;;
    *) echo "win32 not run: the probe for 32-bit code failed" >>"$results" ;;
  esac
  record "same bytes ($(basename -a "${runnable[@]}" | paste -sd ' '))" \
    bash "$here/../tests/cross_build/cross_build_test.sh" "${runnable[@]}"
  record "setup programs" bash "$here/../tests/dist/installer_test.sh" "$dist" "$win64/tests/e2e_helper.exe"
  "$here/wine-run.sh" wineserver -k 2>/dev/null
) >"$work/side.log" 2>&1 &
side=$!

results=$work/main.results
record win64 ctest --test-dir "$win64" --output-on-failure
wait "$side"
cat "$work/side.log"

summary=$(cat "$work/main.results" "$work/side.results" | paste -sd ';' | sed 's/;/; /g')
echo "Windows tests: $summary"
! grep -qv -e ' passed$' -e ' skipped: ' "$work/main.results" "$work/side.results"
