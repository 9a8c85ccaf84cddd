#!/usr/bin/env bash
# tarvex-cli rtf: the export of a small file, read back by the import command.
set -u
cli="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if [ "$1" != "$2" ]; then printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$3" "$2" "$1"; fail=1; fi; }

# "Привет {мир}" and a backslash line, in Windows-1251.
printf '\xcf\xf0\xe8\xe2\xe5\xf2 {\xec\xe8\xf0}\r\nback\\slash if\r\n' > "$tmp/t.txt"
printf '[Keywords]\nif=3,1,1,0,255,-1\n' > "$tmp/keys.ini"

"$cli" rtf "$tmp/t.txt" > "$tmp/out.rtf"; rc=$?
check "$rc" 0 "exit status"
check "$(head -c 40 "$tmp/out.rtf")" '{\rtf1\ansi\ansicpg1251\deff0\deftab720{' "header"
check "$(sed -n 4p "$tmp/out.rtf" | tr -d '\r')" "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\{\\'ec\\'e8\\'f0\\}" "first paragraph"
check "$(tail -c 8 "$tmp/out.rtf" | od -An -tx1)" ' 5c 70 61 72 20 7d 0d 0a' "last line: \\par }"
"$cli" import "$tmp/out.rtf" > "$tmp/back.txt"
check "$(od -An -tx1 "$tmp/back.txt")" "$(od -An -tx1 "$tmp/t.txt")" "round trip through our RTF reader"

"$cli" rtf "$tmp/t.txt" -o "$tmp/file.rtf"
cmp -s "$tmp/out.rtf" "$tmp/file.rtf" || { echo "FAIL -o writes what standard output gets"; fail=1; }

"$cli" rtf --highlighter "$tmp/keys.ini" "$tmp/t.txt" > "$tmp/hl.rtf"
grep -q 'if\\plain' "$tmp/hl.rtf" && grep -q '\\b\\cf4\\cb2 if' "$tmp/hl.rtf" || { echo "FAIL keyword run: $(sed -n 5p "$tmp/hl.rtf")"; fail=1; }
grep -q '\\red255\\green0\\blue0;}' "$tmp/hl.rtf" || { echo "FAIL keyword colour in the table"; fail=1; }
"$cli" rtf --highlighter "$tmp/keys.ini" --no-dyn-format "$tmp/t.txt" > "$tmp/nodyn.rtf"
cmp -s "$tmp/out.rtf" "$tmp/nodyn.rtf" || { echo "FAIL --no-dyn-format exports no highlighting"; fail=1; }

"$cli" rtf "$tmp/missing.txt" > /dev/null 2> "$tmp/err"; rc=$?
check "$rc" 1 "missing file"
check "$(wc -l < "$tmp/err")" 1 "one line of error"
"$cli" rtf --bogus "$tmp/t.txt" > /dev/null 2>&1; rc=$?
check "$rc" 2 "unknown option"
"$cli" rtf --highlighter "$tmp/none.ini" "$tmp/t.txt" > /dev/null 2>&1; rc=$?
check "$rc" 1 "missing key file"
"$cli" rtf "$tmp/t.txt" -o "$tmp/no/dir/x.rtf" 2> /dev/null; rc=$?
check "$rc" 1 "unwritable output"
exit $fail
