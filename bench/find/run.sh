#!/usr/bin/env bash
# The find benchmark on the prose files: counting a frequent word (with case,
# without, whole words), Find all of a word with up to 10,000 occurrences, F3
# with a line break in the search text from the start to a match near the end,
# Replace all of the frequent word by a longer text and its undo, in the
# editor control; grep -c -F (and -i) and GNU sed writing the replaced file
# are measured in the same run as yardsticks. Reads TARVEX_BUILD,
# TARVEX_BENCH_DATA, TARVEX_SIZES and TARVEX_OUT (see bench/run.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
default_sizes=100,1000
. "$root/bench/common/setup.sh"
bin="$TARVEX_BUILD/bench/find/tarvex-bench-find"
[ -x "$bin" ] || { echo "bench/find: $bin is missing; build first (bench/run.sh does)" >&2; exit 1; }

word="Ёлка"                  # a sentence's first word: some 6,600 times in 100 MB
longer="Зелёная ёлка"
word_cp="$(printf '%s' "$word" | iconv -f utf-8 -t cp1251)"
longer_cp="$(printf '%s' "$longer" | iconv -f utf-8 -t cp1251)"
export LC_ALL=C  # grep and sed compare bytes, as the text is Windows-1251

# Seconds and peak KB of a command, best time of N runs: "SECONDS KB".
measure() {
  local n="$1" best="" kb=0 t m
  shift
  for _ in $(seq "$n"); do
    # Not /dev/null: grep stops at the first match when nobody reads its output.
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" > "$work/stdout" 2>&1 || true
    read -r t m < "$work/time"
    if [ -z "$best" ] || awk "BEGIN { exit !($t < $best) }"; then best="$t"; fi
    kb="$m"
  done
  echo "$best $kb"
}
peer() {  # figure size engine value unit
  printf '%s.prose\t%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" "$5" >> "$raw"
}

for s in "${size_list[@]}"; do
  file="$("$root/bench/common/data.sh" prose "$s")"
  cat "$file" > /dev/null
  # A year (each some 1,000 times in 100 MB) that Find all can still list.
  list_word=""
  for y in 1966 1814 1882 1911 1874 1808 1857 1993 1905; do
    n="$(grep -o -F -- "$y" "$file" | wc -l)"
    if [ "$n" -le 10000 ]; then list_word="$y"; break; fi
  done
  [ -n "$list_word" ] || { echo "find: no year with at most 10,000 occurrences in $s MB" >&2; continue; }
  echo "find: prose $s MB (count \"$word\", list \"$list_word\")" >&2
  "$bin" "$file" "$s" prose "$word" "$list_word" "$longer" >> "$raw" || echo "find: tarvex failed on $s MB" >&2

  read -r t kb < <(measure 3 grep -c -F -- "$word_cp" "$file")
  peer count_case_time "$s" grep "$t" s
  read -r t kb < <(measure 3 grep -c -F -i -- "$word_cp" "$file")
  peer count_nocase_time "$s" grep "$t" s
  read -r t kb < <(measure 3 grep -c -F -i -w -- "$word_cp" "$file")
  peer count_word_time "$s" grep "$t" s
  read -r t kb < <(measure 1 sh -c 'sed "s/$1/$2/g" "$3" > "$4"' sed "$word_cp" "$longer_cp" "$file" "$work/sed.out")
  peer replace_all_time "$s" sed "$t" s
  peer replace_all_peak_rss "$s" sed "$(awk "BEGIN { print $kb / 1024 }")" MB
  rm -f "$work/sed.out"
done
print_figures
awk -F'\t' '{ v[$1 "," $2 "," $3] = $4; s[$2] = 1 }
  END { for (k in s) {
    if (v["count_case_time.prose," k ",tarvex"] > 0) {
      printf "find: %s MB: count %.3g s with case (grep -c -F %.3g s, %.2f times its time), %.3g s without (grep -c -F -i %.3g s, %.2f times), %.3g s whole words (grep -w %.3g s)\n", k,
        v["count_case_time.prose," k ",tarvex"], v["count_case_time.prose," k ",grep"], v["count_case_time.prose," k ",tarvex"] / v["count_case_time.prose," k ",grep"],
        v["count_nocase_time.prose," k ",tarvex"], v["count_nocase_time.prose," k ",grep"], v["count_nocase_time.prose," k ",tarvex"] / v["count_nocase_time.prose," k ",grep"],
        v["count_word_time.prose," k ",tarvex"], v["count_word_time.prose," k ",grep"]
      printf "find: %s MB: Find all %.3g s, F3 across line breaks %.3g s, Replace all %.3g s (sed %.3g s: %.1f times faster), peak %.0f MB (%.2f times the file; sed %.0f MB), undo %.3g s\n", k,
        v["findall_time.prose," k ",tarvex"], v["f3_break_time.prose," k ",tarvex"], v["replace_all_time.prose," k ",tarvex"],
        v["replace_all_time.prose," k ",sed"], v["replace_all_time.prose," k ",sed"] / v["replace_all_time.prose," k ",tarvex"],
        v["replace_all_peak_rss.prose," k ",tarvex"], v["replace_all_rss_ratio.prose," k ",tarvex"], v["replace_all_peak_rss.prose," k ",sed"],
        v["replace_undo_time.prose," k ",tarvex"] } } }' "$raw"
