#!/usr/bin/env bash
# tarvex-cli sort, compress and headlines: the commands' results on small
# files, their options, and one-line errors.
set -uo pipefail
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail=0

# is NAME EXPECTED_BYTES(printf format) COMMAND [ARGS...]
is() {
    local name="$1" want got
    want="$(printf "$2" | od -An -tx1 | tr -s ' \n' ' ')"
    shift 2
    got="$("$cli" "$@" | od -An -tx1 | tr -s ' \n' ' ')"
    if [ "$got" != "$want" ]; then
        echo "FAIL $name: got [$got] want [$want]"
        fail=1
    fi
}
# fails NAME STATUS COMMAND [ARGS...]: exits with STATUS and says why in one line or the usage
fails() {
    local name="$1" want="$2"
    shift 2
    "$cli" "$@" > "$dir/out" 2> "$dir/err"
    local got=$?
    if [ "$got" != "$want" ] || [ ! -s "$dir/err" ] || [ -s "$dir/out" ]; then
        echo "FAIL $name: status $got (want $want), stderr: $(head -1 "$dir/err")"
        fail=1
    fi
}

printf 'b=2\na=1\r\nB=3\n\n' > "$dir/dict.txt"
is sort-dupl 'a=1\r\nb=2\r\nB=3\r\n' sort --locale en "$dir/dict.txt"
is sort-join 'a=1\r\nB=3, 2\r\n' sort --join --separ ', ' --locale en "$dir/dict.txt"
is sort-join-tab 'a=1\r\nB=3\t2\r\n' sort --join --locale en "$dir/dict.txt"
is sort-whole 'a=1\r\nb=2\r\nB=3\r\n' sort --delim '' --join --locale en "$dir/dict.txt"
printf 'Apple\napple\n' > "$dir/apple.txt"
got="$("$cli" sort --no-dupl --locale en "$dir/apple.txt" | grep -ci apple)"
[ "$got" = 2 ] || { echo "FAIL sort --no-dupl: $got lines"; fail=1; }
got="$("$cli" sort --locale en "$dir/apple.txt" | grep -ci apple)"
[ "$got" = 1 ] || { echo "FAIL sort duplicates: $got lines"; fail=1; }
# Tab as the delimiter, written as ^t.
printf 'b\t2\nb\t3\n' > "$dir/tabs.txt"
is sort-tab-delim 'b\t3; 2\r\n' sort --delim '^t' --separ '; ' --join --locale en "$dir/tabs.txt"
# Russian collation puts Cyrillic before Latin, English the other way round;
# the file is read as the editor reads it (here UTF-8) and written as Windows-1251.
printf 'zebra\n\xd0\xb6\xd1\x83\xd0\xba\n' > "$dir/mixed.txt"
is sort-ru '\346\363\352\r\nzebra\r\n' sort --locale ru "$dir/mixed.txt"
is sort-en 'zebra\r\n\346\363\352\r\n' sort --locale en "$dir/mixed.txt"

printf 'word  .\nbroken\nline\n\n\n\n\n 1. item\n' > "$dir/prose.txt"
is compress-all 'word. broken line\r\n\r\n\t1. item\r\n' compress "$dir/prose.txt"
is compress-spaces 'word.\r\nbroken\r\nline\r\n\r\n\r\n\r\n\r\n 1. item\r\n' compress --steps 1 "$dir/prose.txt"
is compress-paragraphs 'word  .\r\nbroken\r\nline\r\n\r\n 1. item\r\n' compress --steps 4 "$dir/prose.txt"
is compress-none 'word  .\r\nbroken\r\nline\r\n\r\n\r\n\r\n\r\n 1. item\r\n' compress --steps 0 "$dir/prose.txt"

printf 'BOOK\n\nintro text\n\nCHAPTER ONE\n\nbody\n\nChapter two\n\nPART\nTWO\n' > "$dir/book.txt"
is headlines 'BOOK = 1\nCHAPTER ONE = 5\nPART TWO = 11\n' headlines "$dir/book.txt"
is headlines-any 'BOOK = 1\nintro text = 3\nCHAPTER ONE = 5\nbody = 7\nChapter two = 9\nPART TWO = 11\n' headlines --any-case "$dir/book.txt"
is headlines-short 'BOOK = 1\nPART TWO = 11\n' headlines --max-length 9 "$dir/book.txt"
# Lengths outside 2..1000 mean 100.
is headlines-bad-length 'BOOK = 1\nCHAPTER ONE = 5\nPART TWO = 11\n' headlines --max-length 1 "$dir/book.txt"

fails missing 1 sort "$dir/none.txt"
fails folder 1 compress "$dir"
fails no-file 2 headlines
fails two-files 2 sort "$dir/dict.txt" "$dir/dict.txt"
fails bad-steps 2 compress --steps 16 "$dir/prose.txt"
fails bad-locale 2 sort --locale de "$dir/dict.txt"
fails bad-option 2 sort --fast "$dir/dict.txt"
fails bad-length 2 headlines --max-length x "$dir/book.txt"

exit $fail
