#!/usr/bin/env bash
# Runs every fuzz harness of a build for a set time and prints, per harness,
# the executions and the coverage reached (edges and features of libFuzzer).
# Inputs that find something are left under BUILD/artifacts; keep each one in
# tests/fuzz/regressions/HARNESS once its cause is fixed.
# Usage: run.sh BUILD_DIR SECONDS
set -u
build=$(realpath "$1")
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
[ -d /dev/shm ] && export TMPDIR=/dev/shm
mkdir -p "$build/logs" "$build/artifacts"
failed=0
printf '%-14s %12s %8s %10s %8s  %s\n' harness executions edges features corpus result
for fuzzer in "$build"/*_fuzz; do
  name=$(basename "$fuzzer" _fuzz)
  log=$build/logs/$name.log
  mkdir -p "$build/corpus/$name"
  nice "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$name-" "$build/corpus/$name" \
    "$here/corpus/$name" "$here/regressions/$name" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
  edges=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  corpus=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$last")
  result=ok
  if [ "$status" -ne 0 ]; then
    result="FOUND: $(grep -m 1 -E 'ERROR|check failed|runtime error' "$log") (see $log)"
    failed=1
  fi
  printf '%-14s %12s %8s %10s %8s  %s\n' "$name" "${runs:-?}" "${edges:-?}" "${features:-?}" \
    "${corpus:-?}" "$result"
done
exit $failed
