#!/bin/sh
# man_page_lint.sh PAGE: formats a manual page with every warning of groff
# and mandoc switched on, and fails on any warning, or on a placeholder that
# configuring left in it. Exits 77 (skipped) when neither tool is installed.
page=$1
[ -r "$page" ] || { echo "no page $page"; exit 1; }
if grep -n '@[A-Z_]*@' "$page"; then
    echo "placeholder left in $page"
    exit 1
fi
linted=no
if command -v groff >/dev/null 2>&1; then
    # -z formats without output; warnings go to standard error.
    warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1) || { echo "$warnings"; exit 1; }
    if [ -n "$warnings" ]; then
        echo "$warnings"
        exit 1
    fi
    linted=yes
fi
if command -v mandoc >/dev/null 2>&1; then
    mandoc -T lint -W warning "$page" || exit 1
    linted=yes
fi
if [ "$linted" = no ]; then
    echo "neither groff nor mandoc is installed"
    exit 77
fi
echo "$page: no warnings"
