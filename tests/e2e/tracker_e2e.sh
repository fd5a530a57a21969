#!/usr/bin/env bash
# Runs Tramo2.exe under Wine on the virtual display as a user would: tracks a
# second program, closes, is killed, restarts, converts; checks the files it
# leaves with tramo2-stats.
# Usage: tracker_e2e.sh WINE_RUN TRAMO2_EXE HELPER_EXE STATS_EXE SCREENSHOT_DIR
# E2E_FOLDER names the program's folder (data beside it); E2E_CODE_PAGE is the
# system code page WINE_RUN_LOCALE must give.
set -u
wine_run=$(realpath "$1")
tramo=$(realpath "$2")
helper=$(realpath "$3")
stats=$(realpath "$4")
shots=$(realpath -m "$5")
mkdir -p "$shots"

base=$(mktemp -d)
work=$base/${E2E_FOLDER:-tramo}
mkdir "$work"
# Find ours by its folder: Wine shows the program as "./Tramo2.exe" once it
# runs, and by the loader's command line while it starts (the scripts that
# name it, this one too, are not it).
kill_tramo() {
  for pid in $(pgrep -f 'Tramo2\.exe'); do
    [ "$(readlink "/proc/$pid/cwd")" = "$work" ] && [ "$(cat "/proc/$pid/comm")" != bash ] &&
      kill -9 "$pid"
  done
}
# Waits up to 30 s for a background process to end.
wait_exit() {
  for _ in $(seq 300); do
    kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null; return 0; }
    sleep 0.1
  done
  return 1
}
trap 'kill_tramo; rm -rf "$base"' EXIT
cp "$tramo" "$work/Tramo2.exe"
cp "$helper" "$work/e2e_helper.exe"
cd "$work" || exit 1

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
helper() { "$wine_run" ./e2e_helper.exe "$@"; }
plaintext() { "$wine_run" "$stats" dump "$(winepath_of "$1")" | tr -d '\r'; }
winepath_of() { echo "Z:$(realpath -m "$1" | tr / '\\')"; }

start_tramo() {
  "$wine_run" ./Tramo2.exe "$@" >/dev/null 2>&1 &
  tramo_pid=$!
  # Without the window nothing later can be checked: stop here, not at the
  # timeout. A machine busy with other tests can take long to show it.
  helper wait-window TForm1 60000 || { fail "main window did not appear"; exit 1; }
}
close_tramo() {
  helper close TForm1
  wait_exit "$tramo_pid" || fail "the program did not end after closing"
  helper wait-gone TForm1 10000 || fail "main window did not close"
}
log_file() { ls data/Tramo2_cvs*.eb 2>/dev/null | head -n 1; }

acp=$(helper acp | tr -d '\r')
[ "$acp" = "${E2E_CODE_PAGE:-1250}" ] || fail "the system code page is $acp"

# A first start: the data folder beside the program, defaults in the INI (the
# main window and the figures' columns are sized to their content).
start_tramo M
sleep 2
close_tramo
ini=data/Tramo2.ini
[ -f "$ini" ] || fail "no configuration file"
for key in Spusteni=1 Width=640 Height=450 Left=100 Top=100 sloupec0=100 \
           sortC=1 sortD=0 ChTitulek=1 SpMinCas=1 MinimalniCas=60; do
  tr -d '\r' <"$ini" | grep -qx "$key" || fail "configuration lacks $key"
done
[ "$(tail -c 3 "$(log_file)" | od -An -c | tr -d ' ')" = '#\r\n' ] || fail "no clean-exit marker"

# Track a second program for a few seconds; the minimum lowered so it is written,
# its titles kept: on a Western system (code page 1252) too, as code page 1250.
sed -i 's/^MinimalniCas=60/MinimalniCas=0/' "$ini"
printf 'Podrobne statistiky\r\n0,notepad\r\n' >data/PodrobneStatistiky.cvs
czech='Přílišžluťoučký kůň'
: >"$czech.txt"
WINE_RUN_LOCALE=C.UTF-8 start_tramo M
"$wine_run" notepad.exe "$czech.txt" >/dev/null 2>&1 &
notepad_pid=$!
helper wait-window Notepad 30000 || fail "notepad did not start"
# On a loaded machine the activation can come late: notepad is brought forward
# until it has a live row, then tracked a few seconds more.
for _ in $(seq 30); do
  helper activate Notepad
  helper list-rows TForm1 | grep -qi notepad && break
  sleep 0.5
done
sleep 3
helper close Notepad
wait_exit "$notepad_pid"
helper activate TForm1
sleep 1
helper screenshot TForm1 "$shots/main-window.png" || fail "no screenshot"
helper list-rows TForm1 >rows.txt
grep -qi 'notepad' rows.txt || fail "no live row for notepad: $(cat rows.txt)"
# A second start for the same data folder leaves the data alone and ends.
before=$(stat -c %s "$(log_file)")
timeout 30 "$wine_run" ./Tramo2.exe M >/dev/null 2>&1 || fail "second start did not end by itself"
[ "$(stat -c %s "$(log_file)")" = "$before" ] || fail "second start wrote to the log"
close_tramo

text=$(plaintext "$(log_file)")
grep -qx '#-------------------------------------------' <<<"$text" || fail "no session separator"
grep -q '^#Seance dne: ' <<<"$text" || fail "no session header"
grep -q '^#Statistika od ' <<<"$text" || fail "no period header"
grep -qiE '^[0-9]+,C:\\windows\\system32\\notepad\.exe,$' <<<"$text" ||
  fail "no record line with notepad's full path"
LC_ALL=C grep -qiF "notepad.exe,$(printf %s "$czech" | iconv -f UTF-8 -t CP1250)" <<<"$text" ||
  fail "no record of notepad's Czech title in code page 1250"
[ "$(tail -c 3 "$(log_file)" | od -An -c | tr -d ' ')" = '#\r\n' ] || fail "no marker after close"

# Killed without closing: the next run notes the crash.
start_tramo M
sleep 2
kill_tramo
wait_exit "$tramo_pid" || fail "the killed program did not end"
"$wine_run" wineserver -w 2>/dev/null
start_tramo M
sleep 1
close_tramo
last_run=$(plaintext "$(log_file)" | awk '/^#Program NEBYL korektne ukoncen \(pad systemu\?\)$/ {crash = NR}
  /^#Seance dne: / {session = NR} END {print (crash > 0 && session == crash + 4) ? "ok" : "no"}')
[ "$last_run" = ok ] || fail "the run after the kill does not begin with the crash note"

# The end of the Windows session runs the close sequence: no crash note next time.
start_tramo M
sleep 1
"$wine_run" wineboot --end-session --shutdown >/dev/null 2>&1
wait_exit "$tramo_pid" || fail "the program outlived the end of the session"
[ "$(tail -c 3 "$(log_file)" | od -An -c | tr -d ' ')" = '#\r\n' ] ||
  fail "no marker after the end of the session"

# The other windows, each shown through its command and photographed.
start_tramo M
helper menu TForm1 200 && helper wait-window TForm2 5000 && sleep 1 &&
  helper screenshot TForm2 "$shots/detail-statistics.png" || fail "no detailed-statistics editor"
helper close TForm2
helper menu TForm1 202 && sleep 1 &&
  helper screenshot TFormNastaveni "$shots/settings.png" || fail "no settings dialog"
helper close TFormNastaveni
helper menu TForm1 204 && sleep 1 &&
  helper screenshot TFormAbout "$shots/about.png" || fail "no About window"
helper close TFormAbout
# Without Readme.pdf beside the program: a message box and an event.
helper menu TForm1 203
notice=$(helper message-box Tramo2 10000 | tr -d '\r')
grep -q 'Readme.pdf' <<<"$notice" || fail "help without Readme.pdf: $notice"
helper show TFormDebugLog && sleep 1 &&
  helper screenshot TFormDebugLog "$shots/event-protocol.png" || fail "no protocol viewer"
helper close TFormDebugLog

# The encrypted history loaded through the window and searched.
helper menu TForm1 201
helper set-text TForm1 118 notepad
helper click TForm1 122
sleep 1
helper screenshot TForm1 "$shots/search.png"
helper list-rows TForm1 >rows.txt
grep -qiE '^C:\\windows\\system32\\notepad\.exe\|[0-9:]+\|' rows.txt ||
  fail "the search lists no notepad row: $(cat rows.txt)"
grep -viqE '^C:\\windows\\system32\\notepad\.exe\|' rows.txt && fail "the search lists more than notepad"
close_tramo

# PREVOD converts beside the data and reports in a message box.
"$wine_run" ./Tramo2.exe prevod data out >/dev/null 2>&1 &
prevod_pid=$!
report=$(helper message-box Tramo2 30000 | tr -d '\r')
wait_exit "$prevod_pid" || fail "PREVOD did not end"
grep -q 'Prevedenych: 1' <<<"$report" || fail "conversion report: $report"
grep -q 'vynechanych: 0' <<<"$report" || fail "conversion report: $report"
converted=out/$(basename "$(log_file)" .eb).txt
[ -f "$converted" ] || fail "no converted log"
cmp -s "$converted" <("$wine_run" "$stats" dump "$(winepath_of "$(log_file)")") ||
  fail "converted log differs from the encrypted one"

if [ "$failures" -gt 0 ]; then
  echo "$failures end-to-end checks failed" >&2
  exit 1
fi
echo "end-to-end: all checks passed"
