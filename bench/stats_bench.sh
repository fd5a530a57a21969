#!/usr/bin/env bash
# Times tramo2-stats over the generated history: the whole-range search as
# CSV, table and JSON against a search that matches nothing (the history load
# and little else), each run RUNS times, and the report. Prints medians as
# "= key value" lines. Usage: stats_bench.sh PROGRAM DATA RUNS
set -euo pipefail
program=$1
data=$2
runs=$3
range=(--from 1.1.1990 --to 31.12.2099)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs the program once with stdout to a file: "seconds kilobytes".
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$program" "$@" >"$work/out" 2>/dev/null || true
  tail -n 1 "$work/time"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A seconds memory
for case in load csv table json report; do
  : >"$work/$case.s"
  : >"$work/$case.kb"
done
for _ in $(seq "$runs"); do
  for case in load csv table json report; do
    case $case in
      load) args=(search --data "$data" "${range[@]}" --name 'no program has this name' --format csv) ;;
      report) args=(report --data "$data" "${range[@]}" --out "$work/report.html") ;;
      *) args=(search --data "$data" "${range[@]}" --format "$case") ;;
    esac
    read -r s kb < <(measure "${args[@]}")
    echo "$s" >>"$work/$case.s"
    echo "$kb" >>"$work/$case.kb"
  done
done
for case in load csv table json report; do
  seconds[$case]=$(median <"$work/$case.s")
  memory[$case]=$(median <"$work/$case.kb")
  printf '%s: %s s, %s MB peak (median of %s)\n' "$case" "${seconds[$case]}" \
    "$(awk -v kb="${memory[$case]}" 'BEGIN { printf "%.0f", kb * 1024 / 1e6 }')" "$runs"
done
for case in csv table json; do
  awk -v all="${seconds[$case]}" -v load="${seconds[load]}" -v kb="${memory[$case]}" -v c="$case" 'BEGIN {
    printf "= stats_%s_s %.2f\n= stats_%s_extra_ratio %.2f\n= stats_%s_peak_mb %.0f\n",
           c, all, c, (all - load) / load, c, kb * 1024 / 1e6 }'
done
awk -v load="${seconds[load]}" -v r="${seconds[report]}" -v kb="${memory[report]}" 'BEGIN {
  printf "= stats_load_s %.2f\n= stats_report_s %.2f\n= stats_report_peak_mb %.0f\n", load, r, kb * 1024 / 1e6 }'
if [ -f "$work/report.html" ]; then
  echo "= stats_report_mb $(awk -v b="$(stat -c %s "$work/report.html")" 'BEGIN { printf "%.2f", b / 1e6 }')"
fi
