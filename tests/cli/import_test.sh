#!/usr/bin/env bash
# tarvex-cli import: the piece is chosen by signature and extension, the text
# comes out as Windows-1251 bytes, and errors give one line and exit 1.
set -uo pipefail
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail=0

# expect NAME FILE EXPECTED_BYTES (printf format)
expect() {
    local got want
    got="$("$cli" import "$2" | od -An -tx1 | tr -s ' \n' ' ')"
    want="$(printf "$3" | od -An -tx1 | tr -s ' \n' ' ')"
    if [ "$got" != "$want" ]; then
        echo "FAIL $1: got [$got] want [$want]"
        fail=1
    fi
}

printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 \\'"'"'cf\\'"'"'f0\\u1080?\\par x\\par }' > "$dir/a.rtf"
expect rtf "$dir/a.rtf" '\317\360\350\r\nx'

# The RTF signature wins over the extension, and HTML is converted after it.
cp "$dir/a.rtf" "$dir/rtf-named.htm"
expect rtf-as-htm "$dir/rtf-named.htm" '\317\360\350\r\nx'

# UTF-8 HTML is decoded before its tags go.
printf '<html><body>\320\226&nbsp;b<BR>c&#65;</body>' > "$dir/a.HTML"
expect html-utf8 "$dir/a.HTML" '\306 b\r\ncA'
printf 'pre<html>in' > "$dir/a.htm"
expect html-outside "$dir/a.htm" 'in'
printf 'pre<doc>in</doc>' > "$dir/a.xml"
expect xml "$dir/a.xml" 'prein'

printf '!!8-Bit!!\0\001A\001B' > "$dir/a.tcr"
for i in $(seq 3 256); do printf '\0' >> "$dir/a.tcr"; done
printf '\000\001\000\002' >> "$dir/a.tcr"
expect tcr "$dir/a.tcr" 'ABA'
# A TCR signature makes any name a TCR book.
cp "$dir/a.tcr" "$dir/book.txt"
expect tcr-by-signature "$dir/book.txt" 'ABA'

printf 'plain\0doc' > "$dir/a.doc"
expect doc-plain "$dir/a.doc" 'plain doc'

check_error() {
    local err rc
    err="$("$cli" import "$2" 2>&1 >/dev/null)"
    rc=$?
    if [ "$rc" -ne 1 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] || [ -z "$err" ]; then
        echo "FAIL $1: exit $rc, stderr [$err]"
        fail=1
    fi
}
printf 'just text' > "$dir/a.txt"
check_error unknown-kind "$dir/a.txt"
check_error missing "$dir/missing.doc"
check_error folder "$dir"

if "$cli" import >/dev/null 2>&1; then
    echo "FAIL: import without a file succeeded"
    fail=1
fi
exit $fail
