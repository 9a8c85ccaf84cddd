#!/usr/bin/env bash
# tarvex-cli calc: what the calculate commands insert, errors, options.
set -u
cli="$1"
fail=0

expect() {  # name, expected output, expected status, arguments...
  local name="$1" want="$2" wantrc="$3"; shift 3
  local got rc
  got="$("$cli" calc "$@" 2>&1)"; rc=$?
  if [ "$got" != "$want" ] || [ "$rc" -ne "$wantrc" ]; then
    printf 'FAIL %s\n--- expected (status %s)\n%s\n--- got (status %s)\n%s\n' "$name" "$wantrc" "$want" "$rc" "$got"
    fail=1
  fi
}

# The "=" rules and the base conversions.
expect "result"        "=14"                0 "2+3*4"
expect "line ends ="   "14"                 0 "2+3*4="
expect "after last ="  "=5"                 0 "total = 2+3"
expect "readme line"   "=250"               0 "total = 1 000 / 4"
expect "hex suffix"    "=255=11111111b"     0 "FFh"
expect "decimal"       "=FFh=11111111b"     0 "255"
expect "hexadecimal"   "=255=11111111b"     0 '$FF'
expect "binary"        "=10=Ah"             0 "1010b"
expect "101 decimal"   "=65h=1100101b"      0 "101"
expect "64-bit max"    "=18446744073709551615=FFFFFFFFFFFFFFFFh" 0 "1111111111111111111111111111111111111111111111111111111111111111b"
expect "64-bit over"   "error 1 at 20: Wrong number" 1 "18446744073709551616"
expect "empty"         ""                   0 "   "
# The evaluator.
expect "spaces"        "=250"               0 "1 000 / 4"
expect "sign"          "=-4"                0 "-2^2"
expect "bracket sign"  "=4"                 0 "(-2)^2"
expect "powers"        "=64"                0 "2^3^2"
expect "percent"       "=85"                0 "100-15%"
expect "percent *"     "=5"                 0 "50*10%"
expect "named"         "=0.479425538604203" 0 "sin(x) : x=0.5"
expect "unnamed"       "=6"                 0 "x*y : 2; 3"
expect "upper case"    "=0"                 0 "SIN(0)"
expect "general"       "=0.333333333333333" 0 "1/3"
expect "scientific"    "=1E+20"             0 "10^20"
expect "joined words"  "=5"                 0 2 + 3
expect "last line"     "=3"                 0 $'1+1\n2+1'
# Errors: code, position in the expression, message; status 1.
expect "divide"        "error 3 at 2: Divide by zero!"       1 "1/0"
expect "brackets"      "error 2 at 7: Mismatched brackets"   1 "((1+2)"
expect "domain"        "error 7 at 1: Syntax error!"         1 "sqrt(-1)"
expect "overflow"      "error 1 at 1: Wrong number"          1 "exp(100000)"
expect "operation"     "error 4 at 3: Wrong operation"       1 "2+"
expect "exponent"      "error 5 at 3: Expected Number or Variable" 1 "2^-1"
expect "variable"      "error 6 at 1: Wrong variable"        1 "x+1"
expect "arguments"     "error 8 at 12: Mistake in arguments" 1 "x*2 : x=abc"
expect "position"      "error 3 at 2: Divide by zero!"       1 "a = 2/0"
# Russian: separators and messages.
expect "ru decimal"    "=2,5"                                0 --lang ru "10/4"
expect "ru both marks" "=3"                                  0 --lang ru "1,5+1.5"
expect "ru thousands"  "=2001"                               0 --lang ru "1 000,5*2"
expect "ru message"    "error 3 at 2: Деление на ноль!"      1 --lang ru "1/0"
expect "en thousands"  "=16"                                 0 --lang en "1,5+1"
expect "cp1251 bytes"  "=6"                                  0 "$(printf '\xf8*2 : \xf8=3')"
# The date calculator.
expect "weekday"       "=Friday"                             0 --date "15.03.2024"
expect "ru weekday"    "=пятница"                            0 --date --lang ru "15.03.2024"
expect "plus days"     "31.03.2024"                          0 --date "01.03.2024 + 30="
expect "difference"    "=8840 (24 years 2 months 14 days)"   0 --date "15.03.2024 - 01.01.2000"
expect "ru difference" "=8840 (24 года 2 месяца 14 дней)"    0 --date --lang ru "15.03.2024 - 01.01.2000"
expect "times"         "=25:30"                              0 --date "8:30 + 7:45 + 9:15"
expect "date error"    "error 9 at 1: Wrong date"            1 --date "31.02.2024"
expect "ru date error" "error 10 at 4: Ошибочное время"      1 --date --lang ru "10:60"
expect "today"         "=$(LC_ALL=C date +%A)"               0 --date "today"
expect "today + 1"     "=$(date -d tomorrow +%d.%m.%Y)"      0 --date "today+1"
expect "minus text"    "=-4"                                 0 -- "-2^2"

# Usage errors: status 2.
for args in "" "--lang" "--lang de 1" "--bogus 1"; do
  # shellcheck disable=SC2086
  "$cli" calc $args >/dev/null 2>&1; rc=$?
  if [ $rc -ne 2 ]; then echo "FAIL usage '$args': rc=$rc"; fail=1; fi
done

exit $fail
