#!/usr/bin/env bash
# tarvex-cli dict: the value shown and the keys listed for words typed in the
# dictionary window's search field.
set -uo pipefail
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
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

printf 'cat=a small animal\r\ndog=a friend\r\n' > "$dir/two.txt"
expect "CAT" $'a small animal\n--\n*cat\ndog' "$cli" dict "$dir/two.txt" CAT
expect "cow" $'--\ncat\n*dog' "$cli" dict "$dir/two.txt" cow

printf 'camel=1\r\ncat=2\r\ndog=3\r\nhog=4\r\nbear=5\r\n' > "$dir/five.txt"
expect "ca*" $'--\n*camel\ncat' "$cli" dict "$dir/five.txt" 'ca*'
expect "*og" $'--\n*dog\nhog' "$cli" dict "$dir/five.txt" '*og'
expect "*a*" $'--\n*camel\ncat\nbear' "$cli" dict "$dir/five.txt" '*a*'
expect "*" $'--\n*camel\ncat\ndog\nhog\nbear' "$cli" dict "$dir/five.txt" '*'

# Values: tabs become lines; another delimiter and separator; Cyrillic in Windows-1251.
printf 'word=one\ttwo\r\n' > "$dir/tabs.txt"
expect "tabs" $'one\ntwo\n--\n*word' "$cli" dict "$dir/tabs.txt" word
printf 'кот :: мяу; мур\r\n' | iconv -f UTF-8 -t CP1251 > "$dir/ru.txt"
expect "delimiter and separator" $'мяу\nмур\n--\n*кот' "$cli" dict --delim '::' --separ '; ' "$dir/ru.txt" 'КОТ'

# Errors.
"$cli" dict "$dir/missing.txt" cat >/dev/null 2>"$dir/err"; rc=$?
if [ $rc -ne 1 ] || [ "$(wc -l < "$dir/err")" -ne 1 ]; then echo "FAIL missing file: rc=$rc"; fail=1; fi
"$cli" dict "$dir/two.txt" >/dev/null 2>&1; rc=$?
if [ $rc -ne 2 ]; then echo "FAIL no word: rc=$rc"; fail=1; fi

exit $fail
