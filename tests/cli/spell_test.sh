#!/usr/bin/env bash
# tarvex-cli spell with dictionaries made here (KOI8-R and UTF-8): the
# misspelt words in text order with positions and suggestions, the user's
# word list, --ignore-latin, and the errors.
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

# A dictionary pair NAME ENCODING: Russian and English words.
make_pair() {
  mkdir -p "$dir/dicts"
  printf 'SET %s\nTRY оеаинтсрвлкмдпуяызбгчйхжшюцщэфъёabcdefghijklmnopqrstuvwxyz\n' "$2" | iconv -f UTF-8 -t "$2" > "$dir/dicts/$1.aff"
  printf '6\nкот\nсобака\nмолоко\nдом\nhello\nworld\n' | iconv -f UTF-8 -t "$2" > "$dir/dicts/$1.dic"
}
make_pair tk_KOI KOI8-R
make_pair tu_UTF UTF-8

# Windows-1251 text with CR LF breaks; positions count each break as two.
printf 'Кот и сабака.\r\nМалоко, hello wrold; 42 дом\r\n' | iconv -f UTF-8 -t CP1251 > "$dir/text.txt"
: > "$dir/empty.dic"
want=$'4\tи\t\n6\tсабака\tсобака\n15\tМалоко\tМолоко\n29\twrold\tworld'
for entry in "hunspell - tk_koi" "hunspell - tu_utf"; do
  expect "$entry" "$want" "$cli" spell --spell-dir "$dir/dicts" --cust "$dir/empty.dic" --engine "$entry" "$dir/text.txt"
done
expect "ignore latin" $'4\tи\t\n6\tсабака\tсобака\n15\tМалоко\tМолоко' \
  "$cli" spell --spell-dir "$dir/dicts" --cust "$dir/empty.dic" --engine "hunspell - tk_koi" --ignore-latin "$dir/text.txt"
expect "no suggestions" $'4\tи\t\n6\tсабака\t\n15\tМалоко\t\n29\twrold\t' \
  "$cli" spell --spell-dir "$dir/dicts" --cust "$dir/empty.dic" --engine "hunspell - tu_utf" --no-suggestions "$dir/text.txt"

# The user's list accepts lower-cased words in any case.
printf 'И\r\nмалоко\r\n' | iconv -f UTF-8 -t CP1251 > "$dir/cust.dic"
expect "cust.dic" $'6\tсабака\tсобака\n29\twrold\tworld' \
  "$cli" spell --spell-dir "$dir/dicts" --cust "$dir/cust.dic" --engine "hunspell - tk_koi" "$dir/text.txt"

# A UTF-8 file is decoded as the editor decodes it.
printf 'дом сабака\n' > "$dir/utf8.txt"
expect "utf-8 text" $'4\tсабака\tсобака' \
  "$cli" spell --spell-dir "$dir/dicts" --cust "$dir/empty.dic" --engine "hunspell - tk_koi" "$dir/utf8.txt"

# Errors.
"$cli" spell --spell-dir "$dir/dicts" --engine "hunspell - xx_xx" "$dir/text.txt" >/dev/null 2>"$dir/err"; rc=$?
if [ $rc -ne 1 ] || ! grep -q 'Spell engine not found!' "$dir/err"; then echo "FAIL unknown dictionary: rc=$rc $(cat "$dir/err")"; fail=1; fi
"$cli" spell --spell-dir "$dir/dicts" --engine "hunspell - tk_koi" "$dir/missing.txt" >/dev/null 2>"$dir/err"; rc=$?
if [ $rc -ne 1 ] || [ "$(wc -l < "$dir/err")" -ne 1 ]; then echo "FAIL missing file: rc=$rc"; fail=1; fi
"$cli" spell >/dev/null 2>&1; rc=$?
if [ $rc -ne 2 ]; then echo "FAIL no file: rc=$rc"; fail=1; fi
"$cli" spell --engine >/dev/null 2>&1; rc=$?
if [ $rc -ne 2 ]; then echo "FAIL --engine without value: rc=$rc"; fail=1; fi

exit $fail
