#!/usr/bin/env bash
# The manual page renders without a complaint from man, and names every option --help names, so an
# option added to the program without a word in the manual fails here.
#   manual_page.sh PROGRAM MANUAL_PAGE
set -euo pipefail
program=$1
page=$2
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=100 man --warnings -l "$page" 2>&1 >/dev/null) || { echo "FAIL: man cannot render $page" >&2; exit 1; }
[ -z "$warnings" ] || { echo "FAIL: man warns about $page: $warnings" >&2; exit 1; }
# ASCII output, so the page's minus signs read as the "--" typed on the command line.
rendered=$(MANWIDTH=100 man -E ascii -l "$page" | col -b)
options=$(SDL_VIDEODRIVER=offscreen "$program" --help | awk '$1 ~ /^--/ { print $1 }')
[ -n "$options" ] || { echo "FAIL: no options found in --help" >&2; exit 1; }
missing=()
for option in $options; do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$rendered" || missing+=("$option")
done
for section in NAME SYNOPSIS OPTIONS KEYS FILES "EXIT STATUS" EXAMPLES; do
    grep -q "^$section" <<<"$rendered" || missing+=("section $section")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "FAIL: $page does not name: ${missing[*]}" >&2
    exit 1
fi
echo "$page names all $(wc -w <<<"$options") options of --help"
