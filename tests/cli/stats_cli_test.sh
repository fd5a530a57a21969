#!/usr/bin/env bash
# Runs tramo2-stats as a user would, on files made here, and checks its
# output, files and exit codes.
# Usage: stats_cli_test.sh PROGRAM
#        stats_cli_test.sh --wine WINE_RUN PROGRAM.exe
set -u

runner=()
encoding=UTF-8
if [ "${1:-}" = --wine ]; then
  runner=("$(realpath "$2")")
  encoding=CP1250
  shift 2
fi
program=$(realpath "$1")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs the program with stdout in "out", stderr in "err" and the exit code in rc.
run() {
  "${runner[@]}" "$program" "$@" >out 2>err
  rc=$?
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

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "tramo2-stats: all checks passed"
