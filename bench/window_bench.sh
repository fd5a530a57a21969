#!/usr/bin/env bash
# Times the history work through Tramo2's window under Wine, as a user meets it:
# from the moment the last key or click is handed to the system (the helper
# pauses between keys, and would otherwise count its pauses) to the moment
# the window shows its result. A trivial menu command timed the same way
# gives the floor: what the reading of the window adds to every figure.
# Usage: window_bench.sh TRAMO2_EXE HELPER_EXE DATA_FOLDER RUNS
# Prints "= key seconds" lines (medians) for bench/run.sh.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
wine_run=$root/scripts/wine-run.sh
runs=$4
base=$(mktemp -d)
work=$base/tramo
mkdir "$work"
trap 'kill_tramo; rm -rf "$base"' EXIT
cp "$1" "$work/Tramo2.exe"
cp "$2" "$work/e2e_helper.exe"
# A copy: the program writes its own log and settings into its data folder.
cp -r "$3" "$work/data"
rm -f "$work/data/generated.stamp"
cd "$work" || exit 1
shots=$base
source "$root/tests/e2e/ui_lib.sh"
export DISPLAY=${DISPLAY:-:${WINE_RUN_SCREEN:-87}}

now() { date +%s%N; }
# The nanosecond stamp of the last key or click sent.
sent() { ask sent && echo "$ANSWER"; }
# Seconds since the nanosecond stamp $1.
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
poll() { while ! "$@"; do :; done; }
searched() { status_starts "Počet zobrazených položek/nezobrazených záznamů"; }
overviewed() { status_starts "Počet zobrazených/nezobrazených položek"; }
status_empty() { status_part 2 && [ -z "$STATUS_TEXT" ]; }
row0_differs() { row_text 0 && [ "$ROW" != "$1" ]; }
back_to_live() {
  enabled TForm1 "=Zrušit hledání" || return 0
  ask mouse TForm1 "=Zrušit hledání" click
  poll status_empty
}

printf '[FormOptions]\r\nHeight=720\r\n' >data/Tramo2.ini
"$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
start_helper
start_tramo M || exit 1
kinds=(Seance Hodina Den Týden Měsíc Rok Vše)
for ((run = 0; run < runs; run++)); do
  back_to_live
  ask key TForm1 F10 Down Return  # "Podrobné statistiky" shows its window
  start=$(sent)
  poll visible TForm2
  echo "floor $(since "$start")" >>times
  ask key TForm2 alt+F4
  poll hidden TForm2
  ask key TForm1 F10 Down Down Return
  start=$(sent)
  poll status_starts "Historie načtena za "
  echo "load $(since "$start")" >>times
  echo "$STATUS_TEXT" >>own
  ask mouse TForm1 Edit:4 click
  ask key TForm1 Return
  start=$(sent)
  poll searched
  echo "search $(since "$start")" >>times
  echo "$STATUS_TEXT" >>own
  list_state
  echo "rows ${LIST[0]}" >>times
  row_text 0
  first=$ROW
  ask mouse TForm1 SysHeader32:0 click 20 8
  start=$(sent)
  poll row0_differs "$first"
  echo "sort $(since "$start")" >>times
  for ((kind = 0; kind < ${#kinds[@]}; kind++)); do
    back_to_live
    ask mouse TForm1 Edit:7 click
    ask key TForm1 Up Up Up Up Up Up
    for ((i = 0; i < kind; i++)); do ask key TForm1 Down; done
    ask mouse TForm1 "=Přehled" click
    start=$(sent)
    poll overviewed
    echo "overview_$kind $(since "$start")" >>times
  done
done
close_tramo
stop_helper

echo "the program's own figures (status bar), run by run:"
sed 's/^/  /' own
value() { awk -v key="$1" '$1 == key { print $2 }' times | median; }
echo "= window_floor_s $(value floor)"
echo "= window_load_s $(value load)"
echo "= window_search_s $(value search)"
echo "= window_search_rows $(value rows)"
echo "= window_sort_s $(value sort)"
slowest=0
for ((kind = 0; kind < ${#kinds[@]}; kind++)); do
  seconds=$(value "overview_$kind")
  echo "window overview ${kinds[$kind]}: $seconds s"
  slowest=$(awk -v a="$slowest" -v b="$seconds" 'BEGIN { print (b > a) ? b : a }')
done
echo "= window_overview_s $slowest"
