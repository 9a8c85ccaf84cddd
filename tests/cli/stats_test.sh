#!/usr/bin/env bash
# tarvex-cli stats on crafted files: exact output, standard input, errors.
set -u
cli="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail=0

expect() {  # name, expected output, command...
  local name="$1" want="$2"; shift 2
  local got
  got="$("$@" 2>&1)"
  if [ "$got" != "$want" ]; then
    printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$name" "$want" "$got"
    fail=1
  fi
}

printf 'ab\r\n\r\nc' > "$tmp/crlf.txt"
expect "crlf" $'paragraphs: 3\nchars: 7\nlinebreak: CRLF\nlongest: 2\nlines: 3' "$cli" stats "$tmp/crlf.txt"

printf 'one' > "$tmp/none.txt"
expect "no break" $'paragraphs: 1\nchars: 3\nlinebreak: none\nlongest: 3\nlines: 1' "$cli" stats "$tmp/none.txt"

: > "$tmp/empty.txt"
expect "empty" $'paragraphs: 1\nchars: 0\nlinebreak: none\nlongest: 0\nlines: 1' "$cli" stats "$tmp/empty.txt"

printf 'a\n\rbb\n\r' > "$tmp/lfcr.txt"
expect "lfcr" $'paragraphs: 3\nchars: 7\nlinebreak: LFCR\nlongest: 2\nlines: 3' "$cli" stats "$tmp/lfcr.txt"

printf 'ab\0cd\nef' > "$tmp/nul.bin"
expect "nul ends the text" $'tarvex-cli: The file holds a NUL byte at position 2: only the text before it was loaded. Turn on Skip Null in the settings to load it all.\nparagraphs: 1\nchars: 2\nlinebreak: none\nlongest: 2\nlines: 1' "$cli" stats "$tmp/nul.bin"
expect "nul replaced" $'paragraphs: 2\nchars: 9\nlinebreak: LF\nlongest: 5\nlines: 2' "$cli" stats --null-replace . "$tmp/nul.bin"

printf 'x  \ny\t\n' > "$tmp/blanks.txt"
expect "trim" $'paragraphs: 3\nchars: 6\nlinebreak: LF\nlongest: 1\nlines: 3' "$cli" stats --trim-trailing "$tmp/blanks.txt"

expect "stdin" $'paragraphs: 2\nchars: 6\nlinebreak: CR\nlongest: 2\nlines: 2' sh -c "printf 'ab\rcd' | '$cli' stats -"

# A single line longer than the read buffer, many times over.
head -c 3000000 /dev/zero | tr '\0' 'q' > "$tmp/long.txt"
expect "long line" $'paragraphs: 1\nchars: 3000000\nlinebreak: none\nlongest: 3000000\nlines: 1' "$cli" stats "$tmp/long.txt"

# Character wrap: "aaaa bbbb cccc" at 10 is two lines; a 25-letter word three.
printf 'aaaa bbbb cccc\r\nxxxxxxxxxxxxxxxxxxxxxxxxx\r\n' > "$tmp/wrap.txt"
expect "wrap" $'paragraphs: 3\nchars: 43\nlinebreak: CRLF\nlongest: 25\nlines: 6' "$cli" stats --wrap-chars 10 "$tmp/wrap.txt"
"$cli" stats --wrap-chars 0 "$tmp/wrap.txt" >/dev/null 2>&1; rc=$?
if [ $rc -ne 2 ]; then echo "FAIL bad --wrap-chars: rc=$rc"; fail=1; fi

# Errors: one line on standard error, exit 1.
out="$("$cli" stats "$tmp/missing.txt" 2>"$tmp/err")"; rc=$?
if [ $rc -ne 1 ] || [ -n "$out" ] || [ "$(wc -l < "$tmp/err")" -ne 1 ] || ! grep -q 'missing.txt' "$tmp/err"; then
  echo "FAIL missing file: rc=$rc stdout='$out' stderr='$(cat "$tmp/err")'"; fail=1
fi
"$cli" stats "$tmp" >/dev/null 2>"$tmp/err"; rc=$?
if [ $rc -ne 1 ]; then echo "FAIL directory: rc=$rc"; fail=1; fi
"$cli" stats >/dev/null 2>&1; rc=$?
if [ $rc -ne 2 ]; then echo "FAIL no file: rc=$rc"; fail=1; fi

exit $fail
