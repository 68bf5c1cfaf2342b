#!/usr/bin/env bash
# Checks the typeset user manual: what typesetting can get wrong, not the wording.
#   check-manual-pdf.sh PDF MARKDOWN_SOURCE VERSION
set -euo pipefail

pdf=$1
source=$2
version=$3
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

[ -f "$pdf" ] || { echo "FAIL: $pdf does not exist" >&2; exit 1; }

info=$(pdfinfo "$pdf")
pages=$(awk '/^Pages:/ { print $2 }' <<< "$info")
grep -q '^Title: *Vardeko QX2710 User Manual$' <<< "$info" || fail "title: $(grep '^Title' <<< "$info")"
grep -q '^Author: *Molvek$' <<< "$info" || fail "author: $(grep '^Author' <<< "$info")"
grep -q '^Page size: *595.27[0-9]* x 841.8[0-9]* pts (A4)' <<< "$info" || fail "not A4: $(grep '^Page size' <<< "$info")"
[ "$pages" -ge 8 ] || fail "only $pages pages"

# Every font embedded, and the product's own faces really used (a missing font file would
# silently fall back to whatever the machine has).
fonts=$(pdffonts "$pdf" | tail -n +3)
if awk '$(NF-4) != "yes"' <<< "$fonts" | grep -q .; then
    fail "fonts not embedded: $(awk '$(NF-4) != "yes"' <<< "$fonts")"
fi
for face in Manual-Text Manual-Heading Manual-Logo Manual-Script; do
    grep -q "+$face" <<< "$fonts" || fail "face $face not used"
done

# The pedal's picture at twice the window's size, so it stays sharp in print.
if ! pdfimages -list "$pdf" | awk 'NR > 2 && $4 >= 650 && $5 >= 1000 { found = 1 } END { exit !found }'; then
    fail "no picture of at least 650 x 1000 pixels: $(pdfimages -list "$pdf" | tail -n +3)"
fi

text=$(pdftotext -layout "$pdf" -)
grep -q '@[A-Z_]*@' <<< "$text" && fail "placeholders left: $(grep -o '@[A-Z_]*@' <<< "$text" | sort -u | tr '\n' ' ')"
grep -qF "\"$version (64bit)\"" <<< "$text" || fail "the about screen's version \"$version (64bit)\" is missing"

# Every chapter and section reached the page and the contents, with a page number there.
contents=$(pdftotext -f 2 -l 2 -layout "$pdf" -)
while IFS= read -r heading; do
    title=$(sed -e 's/^#\{2,3\} //' -e 's/ *{[^}]*}$//' <<< "$heading")
    grep -qF "$title" <<< "$text" || fail "heading \"$title\" missing from the text"
    grep -qE "$(sed 's/[][\.*^$/]/\\&/g' <<< "$title")[ .]+[0-9]+\$" <<< "$contents" \
        || fail "heading \"$title\" has no page number in the contents"
done < <(grep -E '^#{2,3} ' "$source")

if [ $failures -gt 0 ]; then
    echo "$failures problems in $pdf" >&2
    exit 1
fi
echo "manual OK: $pages pages"
