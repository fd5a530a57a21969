#!/usr/bin/env bash
# The history benchmark over ten generated years: native, then the 64-bit
# MinGW build under Wine (the build that runs on every machine here, and the
# one most users run). Builds nothing (make does that first); generates the data once.
# BENCH_RUNS sets the number of runs (default 5).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

native=build/native/bench
windows_tree=build/win64
windows=$windows_tree/bench
data=build/bench-data
stamp=$data/generated.stamp
runs=${BENCH_RUNS:-5}

for program in build/native/tools/stats/tramo2-stats "$native/history_gen" "$native/history_bench" "$windows/history_bench.exe" \
               "$native/query_bench" "$windows/query_bench.exe" \
               "$native/list_sort_bench" "$windows/list_sort_bench.exe" \
               "$native/tick_bench" "$windows/tick_bench.exe" \
               "$windows_tree/Tramo2.exe" "$windows_tree/tests/e2e_helper.exe"; do
  if [ ! -x "$program" ]; then
    echo "bench: $program is missing; run make bench" >&2
    exit 1
  fi
done

version=$("$native/history_gen" --version)
if [ ! -f "$stamp" ] || [ "$(head -n 1 "$stamp")" != "$version" ]; then
  echo "bench: writing ten years of synthetic history into $data (once; the writer takes a while)"
  rm -rf "$data"
  "$native/history_gen" "$data"
fi

fact() { awk -v key="$1" '$1 == key { print $2 }' "$stamp"; }
echo "bench: data $data: $(fact files) files, $(fact bytes) bytes, $(fact records) records," \
     "$(fact paths) paths, $(fact titles) titles, $(fact pairs) path+title pairs;" \
     "generated in $(fact generation_seconds) s by $version"

load_average() { cut -d' ' -f1-3 /proc/loadavg; }

echo
echo "== native ($(nproc) CPUs, load average $(load_average))"
native_out=$("$native/history_bench" "$data" "$runs")
printf '%s\n' "$native_out" | grep -v '^= '
native_queries=$("$native/query_bench" "$data" "$runs")
printf '%s\n' "$native_queries" | grep -v '^= '
native_out+=$'\n'$native_queries
native_list=$("$native/list_sort_bench" "$runs")
printf '%s\n' "$native_list" | grep -v '^= '
native_out+=$'\n'$native_list
native_stats=$(bash bench/stats_bench.sh build/native/tools/stats/tramo2-stats "$data" "$runs")
printf '%s\n' "$native_stats" | grep -v '^= '
native_out+=$'\n'$native_stats
native_tick=$("$native/tick_bench")
printf '%s\n' "$native_tick" | grep -v '^= '
native_out+=$'\n'$native_tick

echo
echo "== MinGW x86_64 ($windows_tree) under Wine (load average $(load_average))"
# Wine maps the drive Z: to the root of the Linux file system.
windows_data="Z:$(printf '%s' "$root/$data" | tr '/' '\\')\\"
windows_out=$(scripts/wine-run.sh "$windows/history_bench.exe" "$windows_data" "$runs" | tr -d '\r')
printf '%s\n' "$windows_out" | grep -v '^= '
windows_queries=$(scripts/wine-run.sh "$windows/query_bench.exe" "$windows_data" "$runs" | tr -d '\r')
printf '%s\n' "$windows_queries" | grep -v '^= '
windows_out+=$'\n'$windows_queries
windows_list=$(scripts/wine-run.sh "$windows/list_sort_bench.exe" "$runs" | tr -d '\r')
printf '%s\n' "$windows_list" | grep -v '^= '
windows_out+=$'\n'$windows_list
windows_tick=$(scripts/wine-run.sh "$windows/tick_bench.exe" | tr -d '\r')
printf '%s\n' "$windows_tick" | grep -v '^= '
windows_out+=$'\n'$windows_tick

echo
echo "== through the window under Wine (load average $(load_average))"
window_out=$(bash bench/window_bench.sh "$windows_tree/Tramo2.exe" "$windows_tree/tests/e2e_helper.exe" \
             "$data" "$runs")
printf '%s\n' "$window_out" | grep -v '^= '
windows_out+=$'\n'$window_out

value() { printf '%s\n' "$1" | awk -v key="$2" '$1 == "=" && $2 == key { print $3 }'; }

echo
echo "== summary: median of $runs runs (wall clock; MB = 10^6 bytes)"
printf '%-26s %12s %12s   %s\n' "" "native" "x86_64/Wine" "target (native)"
row() {
  printf '%-26s %12s %12s   %s\n' "$1" "$(value "$native_out" "$2")" "$(value "$windows_out" "$2")" "$3"
}
row "load, s" load_s "about 1.5"
row "load, MB/s" load_mbs ">= 120"
row "merge, s" merge_s "< 0.2"
row "merge call by call, s" merge_loop_s ""
row "raw Twofish, s" twofish_s ""
row "raw Twofish, MB/s" twofish_mbs ""
row "load/Twofish speed ratio" ratio ">= 0.6"
row "peak memory, MB" peak_mb "< 150"
row "load, CPU s" load_cpu_s ""
row "merge, CPU s" merge_cpu_s ""
row "search, no filter, s" search_all_s "< 0.15"
row "search, name filter, s" search_name_s "< 0.15"
row "search, title, s" search_title_s "< 0.15"
row "overview by day, s" overview_day_s "< 0.05"
row "overview by hour, s" overview_hour_s "< 0.05"
row "overview by session, s" overview_session_s "< 0.05"
row "queries peak memory, MB" query_peak_mb ""
row "stats history load, s" stats_load_s "(search matching nothing)"
row "stats search csv, s" stats_csv_s ""
row "stats csv over load" stats_csv_extra_ratio "<= 0.4"
row "stats csv peak, MB" stats_csv_peak_mb "< 200"
row "stats search table, s" stats_table_s ""
row "stats table over load" stats_table_extra_ratio "<= 0.4"
row "stats table peak, MB" stats_table_peak_mb "< 200"
row "stats search json, s" stats_json_s ""
row "stats json over load" stats_json_extra_ratio "<= 0.4"
row "stats json peak, MB" stats_json_peak_mb "< 200"
row "stats report, s" stats_report_s "< 2"
row "stats report page, MB" stats_report_mb "< 3"
row "list fill, 250k rows, s" list_fill_s ""
row "list sort, column 0, s" list_sort0_s ""
row "list sort, column 1, s" list_sort1_s ""
row "list sort, column 2, s" list_sort2_s ""
row "list sort, column 3, s" list_sort3_s ""
row "list sort, column 4, s" list_sort4_s ""
row "list sort, column 5, s" list_sort5_s ""
row "list fill + slowest sort, s" list_fill_sort_s "< 1 (under Wine too)"
row "live Zmen, 200 rows, us" list_zmen_us ""
row "list peak memory added, MB" list_peak_mb ""
row "sampler tick, 200 records, us" tick_us ""
row "path lookup, us" lookup_us "(Windows only)"
row "path lookup, 500 children, us" lookup_children_us "(Windows only)"
echo
echo "through the window (MinGW x86_64 under Wine), from the key or click sent to the result on screen:"
printf '  %-34s %8s s   (a menu command that shows a window: the reading of the window)\n' \
       "floor" "$(value "$windows_out" window_floor_s)"
store_load=$(value "$windows_out" load_s)
window_load=$(value "$windows_out" window_load_s)
printf '  %-34s %8s s   target: at most 0.2 s above the store alone (%s s)\n' "history load" \
       "$window_load" "$store_load"
printf '  %-34s %8s s\n' "  added by the window" \
       "$(awk -v a="$window_load" -v b="$store_load" 'BEGIN { printf "%.3f", a - b }')"
printf '  %-34s %8s s   target: < 0.4 s\n' \
       "whole-range search, $(value "$windows_out" window_search_rows) rows" \
       "$(value "$windows_out" window_search_s)"
printf '  %-34s %8s s   target: < 0.2 s\n' "slowest overview" "$(value "$windows_out" window_overview_s)"
printf '  %-34s %8s s\n' "sort of those rows (header click)" "$(value "$windows_out" window_sort_s)"
