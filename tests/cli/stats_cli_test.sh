#!/usr/bin/env bash
# Runs tramo2-stats as a user would, on files made here, and checks its
# output, files and exit codes.
# Usage: stats_cli_test.sh PROGRAM [SCREENSHOT_DIR]
#        stats_cli_test.sh --wine WINE_RUN PROGRAM.exe
# With SCREENSHOT_DIR the report is also drawn by headless Chromium and its
# screenshot kept there.
set -u
here=$(cd "$(dirname "$0")" && pwd)

runner=()
encoding=UTF-8
if [ "${1:-}" = --wine ]; then
  runner=("$(realpath "$2")")
  encoding=CP1250
  shift 2
fi
program=$(realpath "$1")
screenshots=${2:+$(realpath "$2")}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs the program with stdout in "out", stderr in "err" and the exit code in rc.
# The program explains every failure; a failure without a word is Wine's
# start giving up on a loaded machine (its messages are off), tried once more.
run() {
  "${runner[@]}" "$program" "$@" >out 2>err
  rc=$?
  if [ "$rc" -ne 0 ] && [ ${#runner[@]} -gt 0 ] && [ ! -s out ] && [ ! -s err ]; then
    echo "  (no output and exit code $rc from Wine: running it once more)" >&2
    "${runner[@]}" "$program" "$@" >out 2>err
    rc=$?
  fi
}

# A text printed for people, as UTF-8 without CRs.
text_of() {
  tr -d '\r' <"$1" | iconv -f "$encoding" -t UTF-8
}

expect_rc() {
  [ "$rc" -eq "$1" ] || fail "$2: exit code $rc, expected $1 (stderr: $(text_of err))"
}

expect_text() {
  local got
  got=$(text_of "$1")
  [ "$got" = "$2" ] || fail "$3: printed [$got], expected [$2]"
}

expect_same() {
  cmp -s "$1" "$2" || fail "$3: $1 differs from $2"
}

expect_one_line() {
  [ "$(wc -l <"$1")" -eq 1 ] && [ -n "$(tr -d '\r\n' <"$1")" ] ||
    fail "$2: expected one line on $1, got [$(text_of "$1")]"
}

# The text with blank padding up to a multiple of 16 bytes.
padded() {
  local size
  size=$(stat -c %s "$1")
  cat "$1"
  printf '%*s' $(((16 - size % 16) % 16)) ''
}

# A repaired log: CR LF lines, code page 1250 letters, 117 bytes long.
printf '\r\n#Statistika od 1.3.2026 do 1.3.2026 10:59:59\r\n120,C:\\Windows\\notepad.exe,P\xf8\xedli\xb9 \xbelu\xbbou\xe8k\xfd k\xf9\xf2\r\n' >repaired.txt
printf '0123456789abcdef0123456789ABCDEF' >exact.txt
# More than two read chunks of every byte value, ending off a block boundary.
for i in $(seq 0 255); do printf "\\$(printf %03o "$i")"; done >bytes
for i in $(seq 600); do cat bytes; done >big.txt
printf 'end' >>big.txt

# encrypt then dump gives back the text and its padding; only the padding is
# added, and the stored blocks are not the text.
for name in repaired exact big; do
  run encrypt "$name.txt" "$name.eb"
  expect_rc 0 "encrypt $name"
  [ -s out ] || [ -s err ] && fail "encrypt $name printed something"
  padded "$name.txt" >"$name.expected"
  [ "$(stat -c %s "$name.eb")" -eq "$(stat -c %s "$name.expected")" ] ||
    fail "encrypt $name: stored $(stat -c %s "$name.eb") bytes"
  cmp -s "$name.eb" "$name.expected" && fail "encrypt $name: stored the plain text"
  run dump "$name.eb"
  expect_rc 0 "dump $name.eb"
  expect_same out "$name.expected" "dump $name.eb"
done
[ "$(stat -c %s exact.eb)" -eq 32 ] || fail "a text of whole blocks got padding"

# The clean-exit marker is not part of the text, also after a full chunk.
for name in repaired big; do
  cp "$name.eb" "$name.marked.eb"
  printf '#\r\n' >>"$name.marked.eb"
  run dump "$name.marked.eb"
  expect_rc 0 "dump $name with marker"
  expect_same out "$name.expected" "dump $name with marker"
done

# Any other file comes out as it stands, a name ending in "EB" included.
cp big.eb stored.EB
for name in big.txt repaired.txt stored.EB; do
  run dump "$name"
  expect_rc 0 "dump $name"
  expect_same out "$name" "dump $name"
done

# What cannot be read: exit 1, one line on stderr, nothing on stdout.
mkdir folder.eb
for name in missing.eb missing.txt folder.eb; do
  run dump "$name"
  expect_rc 1 "dump $name"
  expect_one_line err "dump $name"
  [ -s out ] && fail "dump $name wrote to stdout"
done

# Output that cannot be written is a failure, not a success.
"${runner[@]}" "$program" dump big.eb >/dev/full 2>err
rc=$?
expect_rc 1 "dump to a full disk"
expect_one_line err "dump to a full disk"

# encrypt never overwrites, never writes under a name read as plain text and
# leaves nothing behind when it fails.
printf 'kept as it was' >existing.eb
cp existing.eb existing.before
run encrypt repaired.txt existing.eb
expect_rc 1 "encrypt onto an existing file"
expect_same existing.eb existing.before "encrypt onto an existing file"
run encrypt repaired.txt repaired.log
expect_rc 2 "encrypt to a name not ending in eb"
[ -e repaired.log ] && fail "encrypt created repaired.log"
run encrypt missing.txt new.eb
expect_rc 1 "encrypt of a missing file"
[ -e new.eb ] && fail "encrypt of a missing file created new.eb"
if [ ${#runner[@]} -eq 0 ]; then
  # A file size limit stops the write part way, even for root.
  (trap '' XFSZ; ulimit -f 1; exec "$program" encrypt big.txt limited.eb) >out 2>err
  rc=$?
  expect_rc 1 "encrypt cut short"
  [ -e limited.eb ] && fail "encrypt cut short left limited.eb behind"
fi

# convert: the report as text for people, with its exit code.
run convert logs
expect_rc 2 "convert with one folder"
expect_text err "Chybné parametry" "convert with one folder"

mkdir logs converted
cp repaired.marked.eb logs/Tramo2_cvs2026_02.eb
cp big.marked.eb logs/Tramo2_cvs2026_03.eb
cp repaired.txt logs/notes.txt
printf 'converted before' >converted/Tramo2_cvs2026_02.txt
cp converted/Tramo2_cvs2026_02.txt kept.before
run convert logs converted
expect_rc 0 "convert with one target present"
expect_text out "Prevedenych: 1
vynechanych: 1" "convert with one target present"
expect_same converted/Tramo2_cvs2026_02.txt kept.before "convert kept the existing target"
[ "$(ls converted | tr '\n' ' ')" = "Tramo2_cvs2026_02.txt Tramo2_cvs2026_03.txt " ] ||
  fail "convert wrote $(ls converted | tr '\n' ' ')"
run dump logs/Tramo2_cvs2026_03.eb
expect_same converted/Tramo2_cvs2026_03.txt out "converted text against dump"

run convert logs fresh/month
expect_rc 0 "convert into new folders"
expect_text out "Prevedenych: 2
vynechanych: 0" "convert into new folders"
expect_same fresh/month/Tramo2_cvs2026_02.txt repaired.expected "converted text of February"

touch blocker
run convert logs blocker/out
expect_rc 1 "convert into a blocked path"
expect_one_line err "convert into a blocked path"
case "$(text_of err)" in
  "Neexistuje výstupní adresář blocker/out"*) ;;
  *) fail "convert into a blocked path printed [$(text_of err)]" ;;
esac
[ -e blocker/out ] && fail "convert created blocker/out"

# Wrong use of the command line.
for args in "" "report" "dump" "dump a b" "encrypt a.txt" "convert a b c"; do
  # shellcheck disable=SC2086
  run $args
  expect_rc 2 "arguments [$args]"
  [ -s err ] || fail "arguments [$args]: no usage on stderr"
done
run help
expect_rc 0 "help"
# Redirected to a file: code page 1250 bytes on Windows, UTF-8 on Linux.
[ "$(text_of out | tail -n 1)" = "Návratový kód: 0 hotovo, 1 chyba, 2 chybné parametry." ] ||
  fail "help to a file ends with [$(text_of out | tail -n 1)]"

# search and overview over a data folder made here: one plain log of two
# sessions (a quoted path with a comma, a title with code page 1250 letters
# and quotes, a damaged line at the end) and an event protocol that is not
# read.
mkdir hist
{
  printf '\r\n#-------------------------------------------\r\n#Seance dne: 1.3.2026 08:00:00\r\n'
  printf '\r\n#Statistika od 1.3.2026 08:00:00 do 08:59:59\r\n#cas (sec),cesta,titulek\r\n'
  printf '1200,C:\\Windows\\notepad.exe,Dopis.txt - Pozn\xe1mkov\xfd blok\r\n'
  printf '1500,C:\\Windows\\notepad.exe,\r\n700,"C:\\Program Files\\A,B\\ab.exe",\r\n\r\n'
  printf '\r\n#Statistika od 1.3.2026 08:59:59 do 09:59:59\r\n#cas (sec),cesta,titulek\r\n'
  printf '3000,C:\\Windows\\notepad.exe,\r\n45,C:\\Tools\\tiny.exe,\r\n\r\n'
  printf '\r\n#-------------------------------------------\r\n#Seance dne: 2.3.2026 10:00:00\r\n'
  printf '\r\n#Statistika od 2.3.2026 10:00:00 do 10:59:59\r\n#cas (sec),cesta,titulek\r\n'
  printf '600,C:\\Windows\\notepad.exe,\r\n900,C:\\Windows\\notepad.exe,Dopis.txt - Pozn\xe1mkov\xfd blok\r\n'
  printf '300,C:\\Windows\\notepad.exe,"Zpr\xe1va, ""nov\xe1"""\r\n\r\n'
  printf '99999999999,C:\\Windows\\notepad.exe,\r\n'
} >hist/Tramo2_cvs2026_03.txt
printf '\r\n#Seance dne: 1.3.2026 08:00:00\r\n#Statistika od 1.3.2026 08:00:00 do 08:59:59\r\n9999,C:\\p.exe,\r\n' \
  >hist/'!Protokol.txt'

# The status line and the load's events go to stderr.
expect_status() {
  case "$(text_of err)" in
    *"$2"*) ;;
    *) fail "$1: no [$2] on stderr: [$(text_of err)]" ;;
  esac
}

run search --data hist --format csv
expect_rc 0 "search as CSV"
expect_text out 'path,title,seconds,last_seen,active_days,daily_average
C:\Windows\notepad.exe,,5100,2.3.2026 10:00:00,2,2550
"C:\Program Files\A,B\ab.exe",,700,1.3.2026 08:00:00,1,700
C:\Tools\tiny.exe,,45,1.3.2026 08:59:59,1,45
C:\Windows\notepad.exe,Dopis.txt - Poznámkový blok,2100,2.3.2026 10:00:00,2,1050
C:\Windows\notepad.exe,"Zpráva, ""nová""",300,2.3.2026 10:00:00,1,300' "search as CSV"
expect_status "search as CSV" "Počet zobrazených položek/nezobrazených záznamů, čas zpracování: 5 / 0, "
expect_status "search as CSV" "Chyba v databazi hist"
expect_status "search as CSV" "Chybny format zaznamu"

# Accented search text arrives as UTF-8 (as code page 1250 under Wine).
run search --data hist --name NotePad --title 'zpráva' --format json
expect_rc 0 "search by name and title"
expect_text out '[
  {"path": "C:\\Windows\\notepad.exe", "title": "Zpráva, \"nová\"", "seconds": 300, "last_seen": "2.3.2026 10:00:00", "active_days": 1, "daily_average": 300}
]' "search by name and title"
expect_status "search by name and title" ": 1 / 7, "

run search --data hist --no-titles --title zpráva --min 600 --from 2.3.2026 --to 2.3.2026
expect_rc 0 "search without titles"
expect_text out 'Jméno                    Doba    Naposled viděno  Titulek  Aktivních dní  Denní průměr
C:\Windows\notepad.exe  10:00  2.3.2026 10:00:00                      1          10:00' \
  "search without titles"
expect_status "search without titles" ": 1 / 7, "

run overview --data hist --by hour --format csv
expect_rc 0 "overview by hour"
expect_text out 'from,to,seconds
2.3.2026 10:00:00,2.3.2026 10:59:59,3599
1.3.2026 08:00:00,1.3.2026 09:59:59,7199' "overview by hour"
expect_status "overview by hour" "Počet zobrazených/nezobrazených položek, čas zpracování: 2 / 0, "

run overview --data hist --by all --from 1.3.2026 --to 1.3.2026 --format json
expect_rc 0 "overview of everything"
expect_text out '[]' "overview of everything"
expect_status "overview of everything" ": 0 / 1, "

run overview --data hist --by session
expect_rc 0 "overview by session"
expect_text out '               Od                 Do     Doba
2.3.2026 09:59:59  2.3.2026 10:59:59    59:59
1.3.2026 07:59:59  1.3.2026 09:59:59  1:59:59' "overview by session"

# A period that a clock set back ended before its start ends at its start.
mkdir back
printf '\r\n#Seance dne: 27.10.2024 01:00:00\r\n#Statistika od 27.10.2024 01:00:00 do 02:59:59\r\n1,C:\\a.exe,\r\n#Statistika od 27.10.2024 03:00:00 do 02:30:00\r\n2,C:\\b.exe,\r\n#Statistika od 27.10.2024 02:30:01 do 03:59:59\r\n4,C:\\c.exe,\r\n' >back/Tramo2_cvs2024_10.txt
run search --data back && expect_status "search after the clock was set back" ": 3 / 0, "

# A table of more rows than the writer formats at once: every line as wide
# as the widest row, which comes last, and the rows in their order.
mkdir many
{
  printf '\r\n#-------------------------------------------\r\n#Seance dne: 1.3.2026 08:00:00\r\n'
  printf '\r\n#Statistika od 1.3.2026 08:00:00 do 08:59:59\r\n#cas (sec),cesta,titulek\r\n'
  for i in $(seq 10000 -1 1001); do printf '%d,C:\\p%d.exe,\r\n' "$i" "$i"; done
  printf '1000,C:\\the\\longest\\path.exe,\r\n'
} >many/Tramo2_cvs2026_03.txt
run search --data many
expect_rc 0 "a table of many rows"
tr -d '\r' <out | tail -n +2 >rows
[ "$(awk '{ print length($0) }' rows | sort -u | wc -l)" -eq 1 ] || fail "a table of many rows: lines of several widths"
{ seq 10000 -1 1001 | sed 's/.*/C:\\p&.exe/'; echo 'C:\the\longest\path.exe'; } >paths
cut -d' ' -f1 rows | cmp -s - paths || fail "a table of many rows: rows out of order"

run search --data missing
expect_rc 1 "search in a missing folder"
[ -s out ] && fail "search in a missing folder wrote to stdout"

# Two computers, each with its own data folder: the desk (pc1) and a
# notebook (pc2) whose clock was once set two days ahead and back. Both ran
# notepad on 1.3.2026; the notebook's history starts a day earlier.
mkdir pc1 pc2 nologs
session() { printf '\r\n#-------------------------------------------\r\n#Seance dne: %s\r\n' "$1"; }
period() { printf '\r\n%s#Statistika od %s do %s\r\n#cas (sec),cesta,titulek\r\n' "${3:-}" "$1" "$2"; }
{
  session '1.3.2026 08:00:00'
  period '1.3.2026 08:00:00' '08:59:59'
  printf '1000,C:\\Windows\\notepad.exe,\r\n500,C:\\Tools\\calc.exe,\r\n'
  session '2.3.2026 09:00:00'
  period '2.3.2026 09:00:00' '09:59:59'
  printf '600,C:\\Windows\\notepad.exe,\r\n'
} >pc1/Tramo2_cvs2026_03.txt
{
  session '28.2.2026 22:00:00'
  period '28.2.2026 22:00:00' '22:59:59'
  printf '50,C:\\Windows\\notepad.exe,\r\n'
} >pc2/Tramo2_cvs2026_02.txt
{
  session '1.3.2026 20:00:00'
  period '1.3.2026 20:00:00' '20:59:59'
  printf '300,C:\\Windows\\notepad.exe,\r\n'
  period '3.3.2026 10:00:00' '10:59:59' $'#Zmena systemoveho casu!\r\n'
  printf '200,C:\\Tools\\calc.exe,\r\n'
  period '1.3.2026 21:00:00' '21:59:59' $'#Zmena systemoveho casu!\r\n'
  printf '100,C:\\Windows\\notepad.exe,\r\n100,C:\\Tools\\calc.exe,\r\nbroken line\r\n'
} >pc2/Tramo2_cvs2026_03.txt
printf 'not a log' >nologs/readme.md
mkdir root
cp -r pc1 pc2 nologs root/

# The periods merge newest first, each computer in its own order: seconds add
# up, last seen is the latest, notepad's 1.3.2026 on both computers is one
# active day, while calc's days follow the notebook's clock (three, where a
# sorted history would give two). The range starts on the notebook's first day.
two_computers='path,title,seconds,last_seen,active_days,daily_average
C:\Windows\notepad.exe,,2050,2.3.2026 09:00:00,3,683
C:\Tools\calc.exe,,800,3.3.2026 10:00:00,3,266'
for data in "--data pc1 --data pc2" "--data pc2 --data pc1 --data nologs" "--data-root root"; do
  # shellcheck disable=SC2086
  run search $data --format csv
  expect_rc 0 "search [$data]"
  expect_text out "$two_computers" "search [$data]"
  expect_status "search [$data]" ": 2 / 0, "
  expect_status "search [$data]" "pc2): Chyba v databazi"
done
run overview --data pc1 --data pc2 --by day --format csv
expect_rc 0 "overview of two computers by day"
expect_text out 'from,to,seconds
3.3.2026,3.3.2026 10:59:59,3599
2.3.2026,2.3.2026 09:59:59,3599
1.3.2026,1.3.2026 21:59:59,10797
28.2.2026,28.2.2026 22:59:59,3599' "overview of two computers by day"
run overview --data-root root --by session --format csv
expect_rc 0 "overview of two computers by session"
expect_text out 'from,to,seconds
2.3.2026 08:59:59,2.3.2026 09:59:59,3599
1.3.2026 19:59:59,1.3.2026 21:59:59,7199
1.3.2026 07:59:59,1.3.2026 08:59:59,3599
28.2.2026 21:59:59,28.2.2026 22:59:59,3599' "overview of two computers by session"

# Sessions of two computers that began in the same second are two rows.
mkdir same1 same2
{ session '5.3.2026 08:00:00'; period '5.3.2026 08:00:00' '08:59:59'; printf '10,C:\\x.exe,\r\n'; } >same1/Tramo2_cvs2026_03.txt
{ session '5.3.2026 08:00:00'; period '5.3.2026 08:00:00' '09:59:59'; printf '10,C:\\x.exe,\r\n'; } >same2/Tramo2_cvs2026_03.txt
run overview --data same1 --data same2 --by session --format csv
expect_rc 0 "overview of sessions started in the same second"
got=$(text_of out | sort)
[ "$got" = '5.3.2026 07:59:59,5.3.2026 08:59:59,3599
5.3.2026 07:59:59,5.3.2026 09:59:59,7199
from,to,seconds' ] || fail "overview of sessions started in the same second: printed [$got]"

# A folder without logs gives an empty answer; a root without any fails.
run search --data nologs --format csv
expect_rc 0 "search in a folder without logs"
expect_text out 'path,title,seconds,last_seen,active_days,daily_average' "search in a folder without logs"
mkdir emptyroot
cp -r nologs emptyroot/
run overview --data-root emptyroot --by day
expect_rc 1 "overview of a root without logs"
expect_one_line err "overview of a root without logs"
[ -s out ] && fail "overview of a root without logs wrote to stdout"

# The report of both computers: its figures are those of the commands.
run report --data pc1 --data pc2 --to 3.3.2026 --out report.html
expect_rc 0 "report"
[ -s out ] && fail "report wrote to stdout"
run overview --data pc1 --data pc2 --to 3.3.2026 --by day --format csv
tr -d '\r' <out >days.csv
run search --data pc1 --data pc2 --to 3.3.2026 --format csv
tr -d '\r' <out | iconv -f "$encoding" -t UTF-8 >programs.csv
python3 - report.html days.csv programs.csv <<'PY' || fail "report data differ from the commands"
import csv, json, re, sys
page = open(sys.argv[1], encoding='utf-8').read()
data = json.loads(re.search(r'<script type="application/json" id="report-data">(.*?)</script>', page, re.S).group(1))
days = [{'date': r['from'], 'seconds': int(r['seconds'])} for r in csv.DictReader(open(sys.argv[2]))]
programs = [{'path': r['path'], 'seconds': int(r['seconds']), 'active_days': int(r['active_days'])}
            for r in csv.DictReader(open(sys.argv[3], encoding='utf-8')) if r['title'] == ''][:10]
checks = [(data['from'], '28.2.2026'), (data['to'], '3.3.2026'), (data['days'], days),
          ([{k: p[k] for k in ('path', 'seconds', 'active_days')} for p in data['programs']], programs),
          ('Přehled činnosti' in page, True), ('34:10' in page, True),
          (re.search(r'(src|href)=|https?:|@import', page), None)]
for got, expected in checks:
    if got != expected:
        print('report: got', got, 'expected', expected, file=sys.stderr)
        sys.exit(1)
PY
run report --data pc1 --out
expect_rc 2 "report without a file name"
run report --data pc1 --out blocker/report.html
expect_rc 1 "report into a blocked path"
expect_one_line err "report into a blocked path"
# Over some thirty years each day keeps a bar of its own.
run report --data pc1 --from 1.1.1990 --to 3.3.2026 --out long.html
grep -q 'M13208 ' long.html || fail "report over a long range: no bar of 1.3.2026 at day 13208"

# Drawn by a browser: the bands of both programs, the rest and the heat map
# are on the screenshot.
if [ -n "$screenshots" ]; then
  shot=$screenshots/report.png
  rm -f "$shot"
  timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/chromium" --window-size=1000,1000 --screenshot="$shot" \
    "file://$work/report.html" >/dev/null 2>&1
  if [ -s "$shot" ]; then
    read -r blue orange grey heat <<<"$(python3 "$here/png_colors.py" "$shot" 1f77b4 ff7f0e b0b0b0 08519c)"
    [ "$blue" -gt 2000 ] && [ "$orange" -gt 1000 ] && [ "$grey" -gt 5000 ] && [ "$heat" -gt 1000 ] ||
      fail "report screenshot: pixels of the bands $blue, $orange, $grey, of the heat map $heat"
  else
    fail "chromium drew no screenshot of the report"
  fi
fi

bad_queries=("search" "search --data hist --min 0" "overview --data hist --by fortnight")
if [ ${#runner[@]} -eq 0 ]; then
  bad_queries+=("search --data hist --from 31.2.2026" "search --data hist --name"
                "search --data hist --format xml" "overview --data hist" "search --data hist --data hist"
                "search --data hist --from 1.3.26" "search --data hist --name $(printf '\xff')")
fi
for args in "${bad_queries[@]}"; do
  # shellcheck disable=SC2086
  run $args
  expect_rc 2 "arguments [$args]"
  [ -s err ] || fail "arguments [$args]: no usage on stderr"
  [ -s out ] && fail "arguments [$args] wrote to stdout"
done

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "tramo2-stats: all checks passed"
