#!/usr/bin/env bash
# tarvex-cli convert: every operation on crafted files (bytes compared), line
# breaks kept, output to a file, and the errors.
set -uo pipefail
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail=0

hex() { od -An -tx1 | tr -s ' \n' ' '; }
# is NAME EXPECTED_BYTES(printf format) OP FILE
is() {
    local name="$1" want got
    want="$(printf "$2" | hex)"
    got="$("$cli" convert "$3" "$4" | hex)"
    if [ "$got" != "$want" ]; then
        echo "FAIL $name: got [$got] want [$want]"
        fail=1
    fi
}
# status NAME WANT_STATUS ARGS...: the exit status and one line on standard error
status() {
    local name="$1" want="$2"
    shift 2
    "$cli" convert "$@" >"$dir/out" 2>"$dir/err"
    local rc=$?
    if [ "$rc" -ne "$want" ]; then
        echo "FAIL $name: status $rc, want $want"
        fail=1
    fi
}

# Code pages: "Привет" in KOI8-R, cp866 and Windows-1251, LF breaks kept.
printf '\xf0\xd2\xc9\xd7\xc5\xd4\nok\n' > "$dir/koi.txt"
printf '\x8f\xe0\xa8\xa2\xa5\xe2\r\n' > "$dir/dos.txt"
printf '\xcf\xf0\xe8\xe2\xe5\xf2\r\n' > "$dir/win.txt"
is koi-win '\317\360\350\342\345\362\nok\n' koi-win "$dir/koi.txt"
is win-koi '\360\322\311\327\305\324\r\n' win-koi "$dir/win.txt"
is dos-win '\317\360\350\342\345\362\r\n' dos-win "$dir/dos.txt"
is win-dos '\217\340\250\242\245\342\r\n' win-dos "$dir/win.txt"

# Decoders: UTF-8 with a mark, UTF-16 with the punctuation Windows-1251 has.
printf '\xef\xbb\xbf\xd0\x96\xd1\x83\xd0\xba \xe2\x80\x94 caf\xc3\xa9\n' > "$dir/u8.txt"
is utf8 '\306\363\352 \227 caf?\n' utf8 "$dir/u8.txt"
printf '\xff\xfe\x16\x04\x43\x04\x3a\x04 \x00\x14\x20 \x00\x1c\x20\x34\x04\x30\x04\x1d\x20' > "$dir/u16.txt"
is ucs2 '\306\363\352 \227 \223\344\340\224' ucs2 "$dir/u16.txt"
printf '{\\rtf1\\ansi one\\par two}' > "$dir/r.rtf"
is rtf 'one\r\ntwo' rtf "$dir/r.rtf"
printf '<html><body>a&amp;b<br>c</body></html>' > "$dir/p.htm"
is html 'a&b\r\nc' html "$dir/p.htm"
printf '<r><a>x</a><b>y</b></r>' > "$dir/d.xml"
is xml 'xy' html "$dir/d.xml"

# Transliteration and the keyboard layouts.
printf '\xd9\xf3\xea\xe0 \xe1\xee\xeb\xfc\xf8\xee\xe9\n' > "$dir/rus.txt"   # Щука большой
is ruslat "Shhuka bol'shoj\n" ruslat "$dir/rus.txt"
printf "Shchuka bol'shoj ob\"em Sch\n" > "$dir/lat.txt"
is latrus '\331\363\352\340 \341\356\353\374\370\356\351 \356\341\372\345\354 \321\367\n' latrus "$dir/lat.txt"
printf 'Ghbdtn? vbh\n' > "$dir/kbd.txt"
is to-rus '\317\360\350\342\345\362, \354\350\360\n' to-rus "$dir/kbd.txt"
printf '\xcf\xf0\xe8\xe2\xe5\xf2 Latin\n' > "$dir/ru-kbd.txt"
is to-eng 'Ghbdtn Latin\n' to-eng "$dir/ru-kbd.txt"

# The five cases.
printf 'one two-three. 1st \xb8\xeb\xea\xe0\n' > "$dir/case.txt"   # ... ёлка
is upper 'ONE TWO-THREE. 1ST \250\313\312\300\n' upper "$dir/case.txt"
is lower 'one two-three. 1st \270\353\352\340\n' lower "$dir/case.txt"
is first-large 'One Two-three. 1st \250\353\352\340\n' first-large "$dir/case.txt"
is sentence 'One two-three. 1st \270\353\352\340\n' sentence "$dir/case.txt"
is inverse 'ONE TWO-THREE. 1ST \250\313\312\300\n' inverse "$dir/case.txt"

# Output to a file, written whole; the input is left alone.
"$cli" convert upper "$dir/case.txt" -o "$dir/out.txt" || { echo "FAIL -o status"; fail=1; }
if [ "$(hex < "$dir/out.txt")" != "$(printf 'ONE TWO-THREE. 1ST \250\313\312\300\n' | hex)" ]; then
    echo "FAIL -o content"
    fail=1
fi
if [ "$(hex < "$dir/case.txt")" != "$(printf 'one two-three. 1st \xb8\xeb\xea\xe0\n' | hex)" ]; then
    echo "FAIL the input changed"
    fail=1
fi

# An empty file gives nothing.
: > "$dir/empty.txt"
is empty '' upper "$dir/empty.txt"

# Errors: an unknown operation is a usage error, an unreadable file one line and status 1.
status unknown-op 2 shout "$dir/case.txt"
status no-file 2 upper
status missing 1 upper "$dir/missing.txt"
if [ "$(wc -l < "$dir/err")" -ne 1 ] || ! grep -q missing.txt "$dir/err"; then
    echo "FAIL missing file message: $(cat "$dir/err")"
    fail=1
fi
status bad-option 2 upper -x "$dir/case.txt"

exit $fail
