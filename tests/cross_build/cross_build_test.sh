#!/usr/bin/env bash
# Every build writes the same bytes and reads what any other build wrote the
# same way. Each tree's log_bytes_writer runs once; its files must equal the
# known bytes kept beside this script. Then every tree's tramo2-stats reads
# every tree's files (dump, search, overview by day) and must give the known
# answers. With one tree given, that tree is checked against the known bytes.
# Usage: cross_build_test.sh TREE...   (build folders, e.g. build/win64 build/win32)
set -u
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
known=$here/known
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

trees=()
for tree in "$@"; do trees+=("$(realpath "$tree")"); done
name_of() { basename "$1"; }
is_windows() { [ -e "$1/tools/stats/tramo2-stats.exe" ]; }
# run TREE PROGRAM ARGS...: the tree's program (path inside the tree, no
# extension), with relative paths spelled for its system.
run() {
  local tree=$1 program=$2
  shift 2
  if is_windows "$tree"; then
    "$wine_run" "$tree/$program.exe" "${@//\//\\}"
  else
    "$tree/$program" "$@"
  fi
}
# What a reader printed for people, as UTF-8 lines without CR.
as_text() {
  if is_windows "$1"; then tr -d '\r' | iconv -f CP1250 -t UTF-8; else cat; fi
}

for writer in "${trees[@]}"; do
  folder=$work/$(name_of "$writer")
  mkdir -p "$folder"
  (cd "$folder" && run "$writer" tests/log_bytes_writer program/) ||
    fail "$(name_of "$writer"): the writer failed"
  diff -r "$known/files" "$folder/program" >/dev/null ||
    fail "$(name_of "$writer") wrote other bytes: $(diff -rq "$known/files" "$folder/program" | tr '\n' ' ')"
done

for writer in "${trees[@]}"; do
  for reader in "${trees[@]}"; do
    pair="$(name_of "$reader") reading what $(name_of "$writer") wrote"
    cd "$work/$(name_of "$writer")/program" || exit 1
    cmp -s "$known/dump.txt" <(run "$reader" tools/stats/tramo2-stats dump data/Tramo2_cvs2026_03.eb) ||
      fail "$pair: the log's plaintext differs"
    cmp -s "$known/search.csv" \
      <(run "$reader" tools/stats/tramo2-stats search --data data --format csv 2>/dev/null |
        as_text "$reader") || fail "$pair: the search differs"
    cmp -s "$known/overview.csv" \
      <(run "$reader" tools/stats/tramo2-stats overview --data data --by day --format csv 2>/dev/null |
        as_text "$reader") || fail "$pair: the overview differs"
  done
done

if [ "$failures" -gt 0 ]; then
  echo "$failures cross-build checks failed" >&2
  exit 1
fi
names=$(for tree in "${trees[@]}"; do name_of "$tree"; done | paste -sd ' ')
echo "cross-build: $names wrote the known bytes, and each read every tree's files as known"
