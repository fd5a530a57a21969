#!/usr/bin/env bash
# The manual as a reader gets it: its Czech text comes out of the PDF with
# every diacritic, and all its fonts travel inside the file.
# Usage: manual_test.sh Readme.pdf
set -euo pipefail
pdf=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

text=$(pdftotext -enc UTF-8 "$pdf" - | tr '\n' ' ' | tr -s ' ')
for phrase in "Nápověda" "Přidat do podrobných statistik" "Spustit u všech uživatelů" \
              "Ctrl+Alt+Shift+F" "PREVOD" "Tramo2.lnk" "tramo2-stats" "Kde jsou data" \
              "Minimální logovaný čas" "Zrušit hledání"; do
  grep -qF "$phrase" <<<"$text" || fail "missing phrase: $phrase"
done

pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
[ "${pages:-0}" -ge 5 ] || fail "only ${pages:-0} pages"

# Columns from the right: ID, object, uni, sub, emb.
not_embedded=$(pdffonts "$pdf" | awk 'NR > 2 && $(NF - 4) != "yes" {print $1}')
[ -z "$not_embedded" ] || fail "fonts not embedded: $not_embedded"

if [ "$failures" -gt 0 ]; then
  echo "0 passed, $failures failed"
  exit 1
fi
echo "manual: $pages pages, text and fonts in order"
