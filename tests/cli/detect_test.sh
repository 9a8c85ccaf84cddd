#!/usr/bin/env bash
# tarvex-cli detect and decode: the loader's decisions on crafted files, the
# text as the editor would save it, and one-line errors with exit status 1.
set -uo pipefail
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail=0

# detect_is NAME "FORMAT ENCODING" [OPTIONS...] FILE
detect_is() {
    local name="$1" want="$2"
    shift 2
    local got
    got="$("$cli" detect "$@" | sed 's/^[a-z]*: //' | tr '\n' ' ' | sed 's/ $//')"
    if [ "$got" != "$want" ]; then
        echo "FAIL detect $name: got [$got] want [$want]"
        fail=1
    fi
}
# decode_is NAME EXPECTED_BYTES(printf format) [OPTIONS...] FILE
decode_is() {
    local name="$1" want got
    want="$(printf "$2" | od -An -tx1 | tr -s ' \n' ' ')"
    shift 2
    got="$("$cli" decode "$@" | od -An -tx1 | tr -s ' \n' ' ')"
    if [ "$got" != "$want" ]; then
        echo "FAIL decode $name: got [$got] want [$want]"
        fail=1
    fi
}

# "Жук" with an LF break in several encodings.
printf '\xc6\xf3\xea\n' > "$dir/win.txt"
printf '\xd0\x96\xd1\x83\xd0\xba\n' > "$dir/utf8.txt"
printf '\xff\xfe\x16\x04\x43\x04\x3a\x04\n\x00' > "$dir/le.txt"
printf '\xfe\xff\x04\x16\x04\x43\x04\x3a\x00\n' > "$dir/be.txt"
detect_is win "plain windows-1251" "$dir/win.txt"
decode_is win '\306\363\352\n' "$dir/win.txt"
detect_is utf8 "plain utf-8" "$dir/utf8.txt"
decode_is utf8 '\306\363\352\n' "$dir/utf8.txt"
decode_is utf8-back '\320\226\321\203\320\272\n' --utf8 "$dir/utf8.txt"
detect_is le "plain utf-16le" "$dir/le.txt"
decode_is le '\306\363\352\n' "$dir/le.txt"
detect_is be "plain utf-16be" "$dir/be.txt"
decode_is be '\306\363\352\n' "$dir/be.txt"

# AutoDecode off: UTF-16 is left alone, UTF-8 is still decoded.
detect_is le-off "plain windows-1251" --no-autodecode "$dir/le.txt"
detect_is utf8-off "plain utf-8" --no-autodecode "$dir/utf8.txt"

# HTML by extension, and with the conversion off.
printf '<html><body>a&amp;b<br>c</body></html>' > "$dir/page.htm"
detect_is html "html windows-1251" "$dir/page.htm"
decode_is html 'a&b\r\nc' "$dir/page.htm"
detect_is html-off "plain windows-1251" --no-html "$dir/page.htm"
decode_is html-off '<html><body>a&amp;b<br>c</body></html>' --no-html "$dir/page.htm"

# RTF by signature whatever the name; a blank before the brace is no RTF.
printf '{\\rtf1\\ansi x\\par y}' > "$dir/r.txt"
detect_is rtf "rtf windows-1251" "$dir/r.txt"
decode_is rtf 'x\r\ny' "$dir/r.txt"
printf ' {\\rtf1 x}' > "$dir/r2.rtf"
detect_is not-rtf "plain windows-1251" "$dir/r2.rtf"

# KOI8-R found after decoding UTF-16 whose characters are KOI8-R bytes.
koi=''
for i in $(seq 1 30); do koi="$koi\\xf0\\xd2\\xc9\\xd7\\xc5\\xd4 \\xcd\\xc9\\xd2, "; done
printf "$koi" > "$dir/koi.txt"
detect_is koi "plain koi8-r" "$dir/koi.txt"
printf '\xff\xfe' > "$dir/koi16.txt"
printf "$koi" | od -An -v -tx1 | tr -s ' \n' '\n' | sed '/^$/d' | while read -r b; do printf "\\x$b\\x00"; done >> "$dir/koi16.txt"
detect_is koi16 "plain utf-16le+koi8-r" "$dir/koi16.txt"

# -o writes the file (through a temporary, so a failure leaves nothing behind).
"$cli" decode "$dir/utf8.txt" -o "$dir/out.txt"
if [ "$(od -An -tx1 "$dir/out.txt" | tr -d ' \n')" != "c6f3ea0a" ]; then
    echo "FAIL decode -o"
    fail=1
fi

# Errors: one line on standard error, exit status 1 (2 for a bad command line).
for args in "detect $dir/missing.txt" "decode $dir/missing.txt" "detect $dir"; do
    # shellcheck disable=SC2086
    err="$("$cli" $args 2>&1 >/dev/null)"
    rc=$?
    if [ "$rc" -ne 1 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ]; then
        echo "FAIL error for '$args': rc $rc, message [$err]"
        fail=1
    fi
done
"$cli" detect --bogus "$dir/win.txt" >/dev/null 2>&1
if [ $? -ne 2 ]; then
    echo "FAIL unknown option"
    fail=1
fi
"$cli" decode "$dir/win.txt" -o "$dir/no/such/dir/out.txt" 2>/dev/null
if [ $? -ne 1 ]; then
    echo "FAIL unwritable output"
    fail=1
fi

exit $fail
