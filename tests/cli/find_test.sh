#!/usr/bin/env bash
# tarvex-cli find and replace: counts, lists, replacements written as decode
# writes, Replace in Lines, and errors (status 1) and usage errors (status 2).
set -uo pipefail
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail=0

# same NAME EXPECTED COMMAND...: standard output must be EXPECTED
same() {
  local name="$1" want="$2" got
  shift 2
  got="$("$@" 2>/dev/null)"
  if [ "$got" != "$want" ]; then
    printf 'FAIL %s\n--- expected\n%s\n--- got\n%s\n' "$name" "$want" "$got"
    fail=1
  fi
}
# bytes NAME EXPECTED(printf format) COMMAND...: standard output byte for byte
bytes() {
  local name="$1" want got
  want="$(printf "$2" | od -An -tx1 | tr -s ' \n' ' ')"
  shift 2
  got="$("$@" 2>/dev/null | od -An -tx1 | tr -s ' \n' ' ')"
  if [ "$got" != "$want" ]; then
    echo "FAIL $name: got [$got] want [$want]"
    fail=1
  fi
}
# status NAME CODE MESSAGE_PART COMMAND...: exit status and a part of standard error
status() {
  local name="$1" code="$2" part="$3" err rc
  shift 3
  err="$("$@" 2>&1 >/dev/null)"
  rc=$?
  if [ "$rc" != "$code" ] || [[ "$err" != *"$part"* ]]; then
    echo "FAIL $name: status $rc (want $code), stderr [$err]"
    fail=1
  fi
}

# Windows-1251 text with CR LF breaks: "Привет мир\r\nпривет, МИР\r\nмирный".
printf '\xcf\xf0\xe8\xe2\xe5\xf2 \xec\xe8\xf0\r\n\xef\xf0\xe8\xe2\xe5\xf2, \xcc\xc8\xd0\r\n\xec\xe8\xf0\xed\xfb\xe9' > "$dir/ru.txt"
same "count ignoring case" "count: 3" "$cli" find --count мир "$dir/ru.txt"
same "count with case" "count: 2" "$cli" find --case --count мир "$dir/ru.txt"
same "whole words" "count: 2" "$cli" find --word --count мир "$dir/ru.txt"
same "whole words with case" "count: 1" "$cli" find --word --case --count мир "$dir/ru.txt"
same "from a position" "count: 2" "$cli" find --from 11 --count мир "$dir/ru.txt"
same "list" $'7\t1\tПривет мир\n20\t2\tпривет, МИР\n25\t3\tмирный' "$cli" find --list мир "$dir/ru.txt"
same "escapes across a break" $'7\t1\tПривет мир' "$cli" find --escapes --list 'мир^Pпривет' "$dir/ru.txt"
same "escape without --escapes" "count: 0" "$cli" find --count 'мир^pпривет' "$dir/ru.txt"
same "ends on the last character" $'28\t3\tмирный' "$cli" find --list ный "$dir/ru.txt"

# UTF-8 files are decoded as the editor decodes them; LF breaks are kept.
printf 'aaaa\nab aab\n' > "$dir/lf.txt"
same "non-overlapping" "count: 3" "$cli" find --count aa "$dir/lf.txt"
bytes "aa to a" 'aa\nab ab\n' "$cli" replace aa a "$dir/lf.txt"
same "replaced count" "replaced: 3" sh -c "'$cli' replace aa a '$dir/lf.txt' 2>&1 >/dev/null"
bytes "whole words, removal" 'aaaa\n aab\n' "$cli" replace --word ab '' "$dir/lf.txt"
bytes "escapes in the replacement" 'aaaa\nX\tY aab\n' "$cli" replace --escapes --word ab 'X^tY' "$dir/lf.txt"
bytes "joining lines" 'aaaa ab aab\n' "$cli" replace --escapes '^pab' ' ab' "$dir/lf.txt"
bytes "from a position" 'aaaa\nab ab\n' "$cli" replace --from 9 aa a "$dir/lf.txt"
printf 'Ёлка ЁЛКА ёлка\r\n' | iconv -f utf-8 -t cp1251 > "$dir/yo.txt"
bytes "Yo folds" 'x x x\r\n' "$cli" replace ёлка x "$dir/yo.txt"
printf '\xd1\x91\xd0\xb6 \xd0\x81\xd0\x96\n' > "$dir/utf8.txt"
same "a UTF-8 file" "count: 2" "$cli" find --count ёж "$dir/utf8.txt"

"$cli" replace aa b "$dir/lf.txt" -o "$dir/out.txt" 2>/dev/null
bytes "to a file" 'bb\nab bb\n' cat "$dir/out.txt"

# Replace in Lines.
printf 'key1 = v1\r\nno match\r\nkey2 = v2\r\n' > "$dir/kv.txt"
bytes "regex groups" 'v1=key1\r\nno match\r\nv2=key2\r\n' "$cli" replace --regex '^(\w+) = (\w+)$' '$2=$1' "$dir/kv.txt"
bytes "regex Cyrillic words" '<\xcf\xf0\xe8\xe2\xe5\xf2> <\xec\xe8\xf0>\r\n<\xef\xf0\xe8\xe2\xe5\xf2>, <\xcc\xc8\xd0>\r\n<\xec\xe8\xf0\xed\xfb\xe9>' \
  "$cli" replace --regex '\w+' '<$0>' "$dir/ru.txt"
same "regex count" "replaced: 3" sh -c "'$cli' replace --regex '\\w+\$' x '$dir/ru.txt' 2>&1 >/dev/null"
status "bad pattern" 1 "missing closing parenthesis (offset 2)" "$cli" replace --regex 'a(' x "$dir/kv.txt"
status "bad group" 1 "unknown substring" "$cli" replace --regex '(k)' '$3' "$dir/kv.txt"

status "missing file" 1 "tarvex-cli:" "$cli" find --count x "$dir/none.txt"
status "neither count nor list" 2 "one of --count and --list" "$cli" find x "$dir/kv.txt"
status "both" 2 "one of --count and --list" "$cli" find --count --list x "$dir/kv.txt"
status "empty text" 2 "empty" "$cli" find --count '' "$dir/kv.txt"
status "bad position" 2 "--from takes a position" "$cli" find --from -3 --count x "$dir/kv.txt"
status "regex and word" 2 "neither --word" "$cli" replace --regex --word a b "$dir/kv.txt"
status "replace arguments" 2 "TEXT, REPLACEMENT and FILE" "$cli" replace a "$dir/kv.txt"

exit $fail
