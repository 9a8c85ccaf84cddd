#!/usr/bin/env bash
# tarvex-cli on what is not an ordinary file: FIFOs and devices are refused
# at once by every command (standard input stays allowed), device and pipe
# outputs are written into and never replaced, a NUL that ends the text is
# reported, and an expanding TCR book is refused before it is expanded.
set -u
cli="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
fail=0

# refused NAME COMMAND...: exit 1 within the time limit, one line on standard error.
refused() {
    local name="$1" rc err
    shift
    err="$(timeout 20 "$@" 2>&1 >/dev/null)"
    rc=$?
    if [ $rc -eq 124 ]; then
        echo "FAIL $name: still waiting after 20 s"
        fail=1
    elif [ $rc -ne 1 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ]; then
        echo "FAIL $name: exit $rc, stderr [$err]"
        fail=1
    fi
}

mkfifo "$dir/fifo.txt"
printf 'x\n' > "$dir/t.txt"
printf '[Keywords]\nx=0,1,5,0,-1,-1\n' > "$dir/keys.ini"
refused "stats fifo" "$cli" stats "$dir/fifo.txt"
refused "detect fifo" "$cli" detect "$dir/fifo.txt"
refused "decode fifo" "$cli" decode "$dir/fifo.txt"
refused "import fifo" "$cli" import "$dir/fifo.txt"
refused "highlight fifo" "$cli" highlight --keys "$dir/keys.ini" "$dir/fifo.txt"
refused "highlight keys fifo" "$cli" highlight --keys "$dir/fifo.txt" "$dir/t.txt"
refused "dict fifo" "$cli" dict "$dir/fifo.txt" word
refused "rtf fifo" "$cli" rtf "$dir/fifo.txt"
refused "rtf keys fifo" "$cli" rtf --highlighter "$dir/fifo.txt" "$dir/t.txt"
refused "sort fifo" "$cli" sort "$dir/fifo.txt"
refused "spell fifo" "$cli" spell "$dir/fifo.txt"

ln -s /dev/zero "$dir/z.html"
refused "import device" "$cli" import "$dir/z.html"
refused "stats device" "$cli" stats --null-replace . /dev/zero
refused "highlight keys device" "$cli" highlight --keys /dev/zero "$dir/t.txt"
refused "decode device" "$cli" decode "$dir/z.html"
refused "dict device" "$cli" dict /dev/zero word
err="$("$cli" stats /dev/zero 2>&1)"
case "$err" in *"not a regular file"*) ;; *) echo "FAIL device message: [$err]"; fail=1 ;; esac

# Standard input is still read.
got="$(printf 'ab\ncd' | timeout 20 "$cli" stats - | head -1)"
[ "$got" = "paragraphs: 2" ] || { echo "FAIL stdin: [$got]"; fail=1; }

# decode -o into a device or a pipe writes into it.
printf 'text\n' > "$dir/in.txt"
timeout 20 "$cli" decode "$dir/in.txt" -o /dev/null || { echo "FAIL -o /dev/null"; fail=1; }
[ -c /dev/null ] || { echo "FAIL /dev/null is no device any more"; fail=1; }
got="$(timeout 20 "$cli" decode "$dir/in.txt" -o /dev/stdout | cat)"
[ "$got" = "text" ] || { echo "FAIL -o /dev/stdout into a pipe: [$got]"; fail=1; }
mkfifo "$dir/out.fifo"
(timeout 20 cat "$dir/out.fifo" > "$dir/from-fifo") &
reader=$!
sleep 0.2
timeout 20 "$cli" decode "$dir/in.txt" -o "$dir/out.fifo" || { echo "FAIL -o FIFO"; fail=1; }
wait $reader
[ "$(cat "$dir/from-fifo")" = "text" ] || { echo "FAIL FIFO output: [$(cat "$dir/from-fifo")]"; fail=1; }
[ -p "$dir/out.fifo" ] || { echo "FAIL the FIFO was replaced"; fail=1; }
# Nobody reads: an error, not a wait.
refused "-o FIFO without reader" "$cli" decode "$dir/in.txt" -o "$dir/out.fifo"

# A NUL that ends the text: the warning on standard error, the text before it on standard output.
{ head -c 5000 /dev/zero | tr '\0' a; printf '\0'; for i in $(seq 1 2000); do echo "line $i"; done; } > "$dir/log.txt"
warn='tarvex-cli: The file holds a NUL byte at position 5000: only the text before it was loaded. Turn on Skip Null in the settings to load it all.'
"$cli" stats "$dir/log.txt" > "$dir/out" 2> "$dir/err"
[ "$(cat "$dir/err")" = "$warn" ] || { echo "FAIL stats warning: [$(cat "$dir/err")]"; fail=1; }
grep -q '^chars: 5000$' "$dir/out" || { echo "FAIL stats output"; fail=1; }
"$cli" decode "$dir/log.txt" > "$dir/out" 2> "$dir/err"
[ "$(cat "$dir/err")" = "$warn" ] || { echo "FAIL decode warning: [$(cat "$dir/err")]"; fail=1; }
[ "$(wc -c < "$dir/out")" -eq 5000 ] || { echo "FAIL decode output"; fail=1; }
cat "$dir/log.txt" | "$cli" stats - > /dev/null 2> "$dir/err"
[ "$(cat "$dir/err")" = "$warn" ] || { echo "FAIL stdin warning: [$(cat "$dir/err")]"; fail=1; }
"$cli" stats --null-replace . "$dir/log.txt" > /dev/null 2> "$dir/err"
[ -s "$dir/err" ] && { echo "FAIL warning with --null-replace"; fail=1; }
"$cli" stats "$dir/t.txt" > /dev/null 2> "$dir/err"
[ -s "$dir/err" ] && { echo "FAIL warning without a NUL"; fail=1; }

# A TCR book of 8 MB standing for 2 GB of text on one line.
{ printf '!!8-Bit!!\0'; for i in $(seq 0 255); do printf '\377'; head -c 255 /dev/zero | tr '\0' x; done
  head -c 8300000 /dev/zero | tr '\0' '\001'; } > "$dir/bomb.tcr"
err="$(timeout 60 "$cli" import "$dir/bomb.tcr" 2>&1 >/dev/null)"
[ "$err" = "tarvex-cli: Text too long" ] || { echo "FAIL TCR bomb: [$err]"; fail=1; }

exit $fail
