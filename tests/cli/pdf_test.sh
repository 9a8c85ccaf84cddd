#!/usr/bin/env bash
# tarvex-cli pdf: pages, header, footer and numbers of small files, read back
# with poppler's pdftotext where it is installed.
set -u
cli="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then export XDG_RUNTIME_DIR="$tmp/xdg"; mkdir -m 700 "$XDG_RUNTIME_DIR"; fi
fail=0
check() { if [ "$1" != "$2" ]; then printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$3" "$2" "$1"; fail=1; fi; }
poppler=1
command -v pdftotext >/dev/null || { echo "pdftotext not installed: the PDFs' text is not read back"; poppler=0; }

# Two pages: the second paragraph begins with a form feed. UTF-8 input ("Привет").
printf 'first page\n\fПривет second page\n' > "$tmp/t.txt"
check "$("$cli" pdf "$tmp/t.txt" -o "$tmp/t.pdf")" "pages: 2" "page count"
check "$(head -c 5 "$tmp/t.pdf")" "%PDF-" "a PDF file"
if [ $poppler = 1 ]; then
  pdftotext -raw "$tmp/t.pdf" - | tr -d '\f' > "$tmp/t.out"
  check "$(grep -c . "$tmp/t.out")" 6 "header, line and footer on each page"
  check "$(sed -n 2,3p "$tmp/t.out")" $'- 1 -\nfirst page' "page 1"
  grep -qx 'Привет second page' "$tmp/t.out" || { echo "FAIL Cyrillic text"; fail=1; }
  grep -qx -- '- 2 -' "$tmp/t.out" || { echo "FAIL footer of page 2"; fail=1; }
  grep -q "$tmp/t.txt" "$tmp/t.out" || { echo "FAIL the file's name in the header"; fail=1; }
fi

printf 'one\ntwo\nthree\n' > "$tmp/n.txt"
check "$("$cli" pdf --line-numbers --header "Head {p}" --footer "Page {p}" "$tmp/n.txt" -o "$tmp/n.pdf")" "pages: 1" "one page"
if [ $poppler = 1 ]; then
  check "$(pdftotext -raw "$tmp/n.pdf" - | tr -d '\f' | sed '/^$/d')" $'Head 1\nPage 1\n1: one\n2: two\n3: three\n4:' "numbers, header and footer"
fi
: > "$tmp/none.ini"  # no keys (a device such as /dev/null is refused like any non-file)
"$cli" pdf --paragraph-numbers --plain --highlighter "$tmp/none.ini" "$tmp/n.txt" -o "$tmp/p.pdf" > /dev/null || { echo "FAIL options"; fail=1; }

"$cli" pdf "$tmp/n.txt" > /dev/null 2>&1; rc=$?
check "$rc" 2 "no -o"
"$cli" pdf --line-numbers --paragraph-numbers "$tmp/n.txt" -o "$tmp/x.pdf" > /dev/null 2>&1; rc=$?
check "$rc" 2 "both kinds of numbers"
"$cli" pdf "$tmp/missing.txt" -o "$tmp/x.pdf" > /dev/null 2> "$tmp/err"; rc=$?
check "$rc" 1 "missing file"
check "$(wc -l < "$tmp/err")" 1 "one line of error"
"$cli" pdf "$tmp/n.txt" -o "$tmp/no/dir/x.pdf" > /dev/null 2>&1; rc=$?
check "$rc" 1 "unwritable output"
[ -e "$tmp/x.pdf" ] && { echo "FAIL no file after a failure"; fail=1; }
exit $fail
