#!/usr/bin/env bash
# The black-box check on a small file: the real program under Xvfb opens a
# 1 MB Windows-1251 text, gets Ctrl+End, three letters and Ctrl+S, and the
# saved file must be the original plus the letters. (bench/open runs it on
# 100 MB against geany.) Exit 77 when Xvfb or xdotool is missing.
set -uo pipefail
program="$1"
script="$2"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
# Russian and Latin words with CR LF breaks, about 1 MB.
line=$'\xcf\xf0\xe8\xe2\xe5\xf2, \xec\xe8\xf0! Plain words and \xf1\xeb\xee\xe2\xe0 \xef\xee-\xf0\xf3\xf1\xf1\xea\xe8.\r\n'
{ for _ in $(seq 1 20000); do printf '%s' "$line"; done; } > "$dir/text.txt"
seconds="$("$script" tarvex "$program" "$dir/text.txt")"
rc=$?
[ $rc -eq 0 ] && echo "open, type, save: $seconds s"
exit $rc
