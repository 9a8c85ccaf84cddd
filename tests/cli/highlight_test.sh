#!/usr/bin/env bash
# tarvex-cli highlight: change points of a small C-like text and of the
# language highlighters, and errors.
set -u
cli="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail=0

cat > "$tmp/keys.ini" <<'INI'
; a comment
[Keywords]
if=3,1,5,0,255,-1
[StartStopKeys]
/*|*/=0,2,7,0,-1,-1,0
//=0,2,8,0,-1,-1,1
[Other]
x=1
INI
printf 'if (a) /* c\r\nd */ b // e\r\nif' > "$tmp/t.c"
got="$("$cli" highlight --keys "$tmp/keys.ini" "$tmp/t.c" 2>&1)"
want=$'0\t0\t193\t5\t0\n0\t2\t0\t0\t-1\n0\t7\t194\t7\t0\n1\t4\t0\t0\t-1\n1\t7\t194\t8\t0\n1\t11\t0\t0\t-1\n2\t0\t193\t5\t0'
if [ "$got" != "$want" ]; then printf 'FAIL change points\n--- expected\n%s\n--- got\n%s\n' "$want" "$got"; fail=1; fi

printf '[Keywords]\nbad=1,x\n' > "$tmp/bad.ini"
"$cli" highlight --keys "$tmp/bad.ini" "$tmp/t.c" >/dev/null 2>"$tmp/err"; rc=$?
if [ $rc -ne 1 ] || ! grep -q "not a valid integer" "$tmp/err"; then echo "FAIL malformed key file: rc=$rc $(cat "$tmp/err")"; fail=1; fi
"$cli" highlight --keys "$tmp/missing.ini" "$tmp/t.c" >/dev/null 2>&1; rc=$?
if [ $rc -ne 1 ]; then echo "FAIL missing key file: rc=$rc"; fail=1; fi
"$cli" highlight "$tmp/t.c" >/dev/null 2>&1; rc=$?
if [ $rc -ne 2 ]; then echo "FAIL no --keys: rc=$rc"; fail=1; fi
# The language highlighters: the context column holds the highlighter's context numbers.
printf "x := 12; { c }\r\nasm mov eax, 1 end;" > "$tmp/t.pas"
got="$("$cli" highlight --highlighter pas "$tmp/t.pas" 2>&1)"
want=$'0\t2\t192\t9\t0\n0\t3\t192\t9\t0\n0\t4\t0\t0\t-1\n0\t5\t192\t5\t0\n0\t7\t192\t9\t0\n0\t8\t0\t0\t-1\n0\t9\t194\t3\t0\n0\t14\t0\t0\t-1\n1\t0\t192\t6\t0\n1\t0\t193\t7\t1\n1\t3\t192\t6\t0\n1\t4\t193\t7\t1\n1\t7\t192\t6\t0\n1\t13\t192\t5\t1\n1\t14\t192\t6\t0\n1\t15\t193\t7\t1\n1\t18\t192\t9\t0'
if [ "$got" != "$want" ]; then printf 'FAIL pas\n--- expected\n%s\n--- got\n%s\n' "$want" "$got"; fail=1; fi
printf 'see www.a.ru, mail b@c.d\n' > "$tmp/u.txt"
got="$("$cli" highlight --highlighter url "$tmp/u.txt" 2>&1)"
want=$'0\t4\t196\t1025\t0\n0\t12\t0\t0\t-1\n0\t19\t196\t1027\t0\n0\t24\t0\t0\t-1'
if [ "$got" != "$want" ]; then printf 'FAIL url\n--- expected\n%s\n--- got\n%s\n' "$want" "$got"; fail=1; fi
for h in num htm sql cpp; do
  "$cli" highlight --highlighter "$h" "$tmp/t.pas" > /dev/null 2>&1 || { echo "FAIL --highlighter $h"; fail=1; }
done
"$cli" highlight --highlighter xyz "$tmp/t.pas" >/dev/null 2>"$tmp/err"; rc=$?
if [ $rc -ne 2 ] || ! grep -q "unknown highlighter xyz" "$tmp/err"; then echo "FAIL unknown highlighter: rc=$rc $(cat "$tmp/err")"; fail=1; fi
exit $fail
